// The BMP, PNG and JPEG files: their exact layouts, and the messages when
// a file cannot be written.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>

#include <jpeglib.h>

#include "emf_samples.h"
#include "output/raster_export.h"
#include "platform/notices.h"

namespace tsl::test {
namespace {

uint32_t U32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

// "caption: text", as the desktop would show it.
class CapturedNotices : public Notices {
 public:
  NoticeAnswer Tell(const Notice& notice) override {
    texts.push_back(NoticeCaption(notice) + ": " + NoticeText(notice));
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
};

struct Exported {
  std::vector<uint8_t> emf = SampleDrawing();
  ExportRequest Request(int32_t w, int32_t h) const { return RequestFor(emf, w, h); }
};

TEST(ExportFiles, BmpLayoutForAnOddWidth) {
  CapturedNotices notices;
  Exported e;
  TempDir tmp;
  std::string path = tmp.path() + "/odd.bmp";
  SettingsSet s = DefaultSettings();
  ASSERT_EQ(1, EmfToDibFile(notices, e.Request(101, 50), s, path));
  std::vector<uint8_t> bmp = ReadBytes(path);
  ASSERT_EQ(6278u, bmp.size());
  EXPECT_EQ('B', bmp[0]);
  EXPECT_EQ('M', bmp[1]);
  EXPECT_EQ(6278u, U32(bmp, 2));       // bfSize = 1078 + 104 * 50
  EXPECT_EQ(0u, U32(bmp, 6));          // reserved
  EXPECT_EQ(1078u, U32(bmp, 10));      // bfOffBits
  EXPECT_EQ(40u, U32(bmp, 14));        // biSize
  EXPECT_EQ(101u, U32(bmp, 18));
  EXPECT_EQ(50u, U32(bmp, 22));        // positive: bottom-up
  EXPECT_EQ(0x00080001u, U32(bmp, 26));  // planes 1, 8 bits
  EXPECT_EQ(0u, U32(bmp, 30));         // BI_RGB
  EXPECT_EQ(5200u, U32(bmp, 34));      // biSizeImage
  EXPECT_EQ(4000u, U32(bmp, 38));
  EXPECT_EQ(4000u, U32(bmp, 42));
  EXPECT_EQ(256u, U32(bmp, 46));
  EXPECT_EQ(16u, U32(bmp, 50));
  EXPECT_EQ(0x00FFFFFFu, U32(bmp, 54));  // entry 0 white
  EXPECT_EQ(0x000000FFu, U32(bmp, 54 + 4 * 5));  // pen 5 blue: the RGBQUAD starts with blue
  // The bottom row holds the frame line: black pixels past the margin.
  // Row padding bytes stay 0.
  for (size_t row = 0; row < 50; ++row)
    for (size_t pad = 101; pad < 104; ++pad) EXPECT_EQ(0, bmp[1078 + row * 104 + pad]);

  s.Set(HighResolution, true);
  ASSERT_EQ(1, EmfToDibFile(notices, e.Request(101, 50), s, path));
  bmp = ReadBytes(path);
  EXPECT_EQ(40000u, U32(bmp, 38));
}

TEST(ExportFiles, PngIsAPaletteImageWithTitleAndSoftware) {
  CapturedNotices notices;
  Exported e;
  TempDir tmp;
  std::string path = tmp.path() + "/pic.png";
  ASSERT_EQ(1, EmfToPngFile(notices, e.Request(120, 60), DefaultSettings(), path));
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  ASSERT_TRUE(f);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  ASSERT_FALSE(setjmp(png_jmpbuf(png)));
  png_init_io(png, f.get());
  png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  EXPECT_EQ(120u, png_get_image_width(png, info));
  EXPECT_EQ(60u, png_get_image_height(png, info));
  EXPECT_EQ(PNG_COLOR_TYPE_PALETTE, png_get_color_type(png, info));
  EXPECT_EQ(8, png_get_bit_depth(png, info));
  png_colorp palette = nullptr;
  int n = 0;
  png_get_PLTE(png, info, &palette, &n);
  ASSERT_EQ(256, n);
  EXPECT_EQ(255, palette[0].red);
  EXPECT_EQ(255, palette[2].red);  // pen 2 red
  EXPECT_EQ(0, palette[2].green);
  png_textp text = nullptr;
  int texts = png_get_text(png, info, &text, nullptr);
  ASSERT_EQ(2, texts);
  EXPECT_STREQ("Title", text[0].key);
  EXPECT_EQ(path, text[0].text);
  EXPECT_STREQ("Software", text[1].key);
  EXPECT_STREQ("Tessella 5.4.1110", text[1].text);
  // Top row first: the frame's top line lies in the first rows.
  png_bytepp rows = png_get_rows(png, info);
  int black = 0;
  for (int y = 0; y < 3; ++y)
    for (int x = 10; x < 110; ++x) black += rows[y][x] == 1;
  EXPECT_GT(black, 90);
  png_destroy_read_struct(&png, &info, nullptr);
}

struct JpegReadError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

TEST(ExportFiles, JpegOfAnOddWidthKeepsEveryColumn) {
  CapturedNotices notices;
  Exported e;
  TempDir tmp;
  std::string path = tmp.path() + "/odd.jpg";
  ASSERT_EQ(1, EmfToJpgFile(notices, e.Request(101, 51), DefaultSettings(), path));
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  ASSERT_TRUE(f);
  jpeg_decompress_struct cinfo;
  JpegReadError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = [](j_common_ptr c) { longjmp(reinterpret_cast<JpegReadError*>(c->err)->jump, 1); };
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    FAIL() << "libjpeg cannot read the file";
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, f.get());
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  EXPECT_EQ(101u, cinfo.output_width);
  EXPECT_EQ(51u, cinfo.output_height);
  EXPECT_EQ(3, cinfo.output_components);
  std::vector<JSAMPLE> row(101 * 3);
  std::vector<std::vector<JSAMPLE>> rows;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW r[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, r, 1);
    rows.push_back(row);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  // The middle of the left margin is white; the rightmost column is a real
  // picture column (the frame's right line is dark, not padding).
  EXPECT_GT(rows[40][3 * 3], 200);
  int dark = 0;
  for (int y = 5; y < 46; ++y) dark += rows[static_cast<size_t>(y)][3 * 99] < 128 || rows[static_cast<size_t>(y)][3 * 100] < 128;
  EXPECT_GT(dark, 30);
}

TEST(ExportFiles, InvalidPathsShowTheFormatsMessage) {
  Exported e;
  TempDir tmp;
  std::string bad = tmp.path() + "/no/such/folder/x";
  CapturedNotices notices;
  EXPECT_EQ(0, EmfToDibFile(notices, e.Request(10, 10), DefaultSettings(), bad + ".bmp"));
  EXPECT_EQ(0, EmfToPngFile(notices, e.Request(10, 10), DefaultSettings(), bad + ".png"));
  EXPECT_EQ(0, EmfToJpgFile(notices, e.Request(10, 10), DefaultSettings(), bad + ".jpg"));
  ASSERT_EQ(3u, notices.texts.size());
  EXPECT_EQ("Tessella: Error writing bitmap '" + bad + ".bmp'\n\nNo such file or directory", notices.texts[0]);
  EXPECT_EQ("Tessella: Error exporting to '" + bad + ".png'\n\nNo such file or directory", notices.texts[1]);
  EXPECT_EQ("Tessella: Error exporting to '" + bad + ".jpg'\n\nNo such file or directory", notices.texts[2]);
  EXPECT_FALSE(std::filesystem::exists(bad + ".bmp"));
}

TEST(ExportFiles, UnreadableMetafileIsReportedAndWritesNothing) {
  std::vector<uint8_t> junk(200, 0x41);
  ExportRequest r;
  r.metafile = junk.data();
  r.metafileSize = junk.size();
  r.width = r.height = 10;
  TempDir tmp;
  const std::string dir = tmp.path();
  CapturedNotices notices;
  EXPECT_EQ(0, EmfToPngFile(notices, r, DefaultSettings(), dir + "/x.png"));
  ASSERT_EQ(1u, notices.texts.size());
  EXPECT_NE(std::string::npos, notices.texts[0].find("The metafile cannot be read")) << notices.texts[0];
  EXPECT_FALSE(std::filesystem::exists(dir + "/x.png"));
}

TEST(ExportFiles, ExistingFileIsReplacedOnlyOnSuccess) {
  Exported e;
  TempDir tmp;
  std::string path = tmp.path() + "/keep.bmp";
  WriteBytes(path, {'o', 'l', 'd'});
  CapturedNotices notices;
  EXPECT_EQ(0, EmfToDibFile(notices, e.Request(0, 10), DefaultSettings(), path));
  EXPECT_EQ(std::vector<uint8_t>({'o', 'l', 'd'}), ReadBytes(path));
  EXPECT_EQ(1, EmfToDibFile(notices, e.Request(8, 4), DefaultSettings(), path));
  EXPECT_EQ(1078u + 8 * 4, ReadBytes(path).size());
}

TEST(ExportFiles, DialogArithmetic) {
  EXPECT_EQ(400, HeightForWidth(800, 2.0f));
  EXPECT_EQ(266, HeightForWidth(800, 3.0f));  // truncated
  std::vector<uint8_t> emf = SampleDrawing();  // frame 200 x 100 mm
  EXPECT_FLOAT_EQ(2.0f, MetafileAspect(emf.data(), emf.size()));
  EXPECT_EQ(0.0f, MetafileAspect(emf.data(), 10));
}

}  // namespace
}  // namespace tsl::test
