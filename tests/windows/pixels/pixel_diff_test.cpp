// The rules that hold GDI's pictures against EmfRenderer's: what two
// rasterisers may differ in passes, a wrong picture does not.
#include <gtest/gtest.h>

#include "bmp24.h"
#include "pixel_compare_rules.h"
#include "pixel_diff.h"
#include "support/temp_dir.h"

namespace tsl::pixels {
namespace {

void Fill(Image* image, int x0, int y0, int x1, int y1, uint32_t color) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) image->At(x, y) = color;
}

// A plot-like picture: outlined boxes, a filled one, a diagonal line.
Image Drawing(int grow = 0) {
  Image image(200, 120);
  for (int i = 0; i < 3; ++i) {
    int x = 10 + 60 * i;
    Fill(&image, x, 10, x + 50, 11 + grow, 0x000000);
    Fill(&image, x, 59 - grow, x + 50, 60, 0x000000);
    Fill(&image, x, 10, x + 1 + grow, 60, 0x000000);
    Fill(&image, x + 49 - grow, 10, x + 50, 60, 0x000000);
  }
  Fill(&image, 20, 70, 120 + grow, 110, 0xFF0000);
  for (int x = 130; x < 190; ++x) image.At(x, 70 + (x - 130) * 2 / 3 + (grow && x % 7 == 0)) = 0x00FF00;
  return image;
}

TEST(PixelDiff, IdenticalPicturesAgreeAndOnlyInkIsCounted) {
  Comparison c = Compare(Drawing(), Drawing(), ShapeTolerance());
  EXPECT_TRUE(c.Passes(ShapeTolerance()));
  EXPECT_EQ(c.differing, 0);
  long ink = 0;
  for (uint32_t p : Drawing().rgb) ink += p != 0xFFFFFF;
  EXPECT_EQ(c.compared, ink);
}

TEST(PixelDiff, EdgesOnePixelApartAgree) {
  // Every edge moved by a pixel, as GDI's and cairo's rules for which
  // pixels a shape covers may place it.
  Comparison c = Compare(Drawing(), Drawing(1), ShapeTolerance());
  EXPECT_EQ(c.differing, 0);
  EXPECT_TRUE(c.Passes(ShapeTolerance()));
  EXPECT_TRUE(Compare(Drawing(), Shifted(Drawing(), 1, -1), ShapeTolerance()).Passes(ShapeTolerance()));
}

TEST(PixelDiff, APictureMovedByAFewPixelsIsRejected) {
  for (int d : {2, 3, 5}) {
    Comparison c = Compare(Drawing(), Shifted(Drawing(), d, 0), ShapeTolerance());
    EXPECT_FALSE(c.Passes(ShapeTolerance())) << d << " pixels right: " << c.differing << " of " << c.compared;
    EXPECT_FALSE(Compare(Drawing(), Shifted(Drawing(), 0, -d), ShapeTolerance()).Passes(ShapeTolerance()));
  }
}

TEST(PixelDiff, AMissingSmallShapeIsRejectedThoughItsShareIsTiny) {
  Image big(800, 600);
  Fill(&big, 100, 100, 700, 500, 0x0000FF);
  Image with = big;
  Fill(&with, 10, 10, 15, 15, 0x000000);  // 25 pixels of 240 000
  Comparison c = Compare(with, big, ShapeTolerance());
  EXPECT_LT(c.PerMille(), 1);
  EXPECT_EQ(c.largestCluster, 25);
  EXPECT_FALSE(c.Passes(ShapeTolerance()));
  EXPECT_FALSE(Compare(big, WithoutDensestSquare(big, 24), ShapeTolerance()).Passes(ShapeTolerance()));
}

TEST(PixelDiff, AWrongColourIsRejectedAndASlightlyOffOneIsNot) {
  Image other = Drawing();
  for (uint32_t& p : other.rgb)
    if (p == 0xFF0000) p = 0xFF00FF;
  EXPECT_FALSE(Compare(Drawing(), other, ShapeTolerance()).Passes(ShapeTolerance()));
  for (uint32_t& p : other.rgb)
    if (p == 0xFF00FF) p = 0xFC0203;
  EXPECT_TRUE(Compare(Drawing(), other, ShapeTolerance()).Passes(ShapeTolerance()));
}

TEST(PixelDiff, ScatteredSpecksPassUpToTheShareAndFailBeyond) {
  Image a(400, 400), b(400, 400);
  Fill(&a, 0, 0, 400, 400, 0x808080);
  b = a;
  const Tolerance t = ShapeTolerance();
  long allowed = static_cast<long>(t.maxPerMille * 160000 / 1000);
  long put = 0;
  for (int y = 1; y < 400 && put < allowed; y += 4)
    for (int x = 1; x < 400 && put < allowed; x += 4, ++put) b.At(x, y) = 0x000000;
  EXPECT_TRUE(Compare(a, b, t).Passes(t));
  for (int y = 3; y < 400 && put <= allowed; y += 4, ++put) b.At(3, y) = 0x000000;
  Comparison c = Compare(a, b, t);
  EXPECT_EQ(c.largestCluster, 1);
  EXPECT_FALSE(c.Passes(t)) << c.differing << " of " << c.compared;
}

// A glyph-like bar in `color` with a fringe blended halfway to white on
// its left (anti-aliased) or not.
Image Bar(int x, uint32_t color, bool smoothed) {
  Image image(60, 40);
  Fill(&image, x, 10, x + 4, 30, color);
  if (smoothed) {
    uint32_t r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
    auto mix = [](uint32_t c, uint32_t share) { return c + (255 - c) * share / 100; };
    Fill(&image, x - 1, 10, x, 30, mix(r, 30) << 16 | mix(g, 30) << 8 | mix(b, 30));
    Fill(&image, x - 2, 10, x - 1, 30, mix(r, 75) << 16 | mix(g, 75) << 8 | mix(b, 75));
  }
  return image;
}

TEST(PixelDiff, TextRuleTakesAntiAliasedEdgesButNotAMovedOrRecolouredLabel) {
  const Tolerance text = TextTolerance();
  EXPECT_FALSE(Compare(Bar(20, 0x0000FF, true), Bar(20, 0x0000FF, false), ShapeTolerance()).Passes(ShapeTolerance()));
  EXPECT_TRUE(Compare(Bar(20, 0x0000FF, true), Bar(20, 0x0000FF, false), text).Passes(text));
  EXPECT_TRUE(Compare(Bar(20, 0xFFFF00, true), Bar(20, 0xFFFF00, false), text).Passes(text));
  EXPECT_FALSE(Compare(Bar(20, 0x0000FF, true), Bar(24, 0x0000FF, false), text).Passes(text));
  EXPECT_FALSE(Compare(Bar(20, 0x0000FF, true), Bar(20, 0xFF0000, false), text).Passes(text));
}

TEST(PixelDiff, PicturesOfDifferentSizesOrWithoutInkFail) {
  EXPECT_FALSE(Compare(Image(10, 10), Image(10, 11), ShapeTolerance()).Passes(ShapeTolerance()));
  EXPECT_FALSE(Compare(Image(10, 10), Image(10, 10), ShapeTolerance()).Passes(ShapeTolerance()))
      << "two blank pictures prove nothing";
}

TEST(Bmp24, WritesAndReadsBackOddWidthsAndRefusesOtherFiles) {
  test::TempDir dir;
  Image image(7, 3);
  for (size_t i = 0; i < image.rgb.size(); ++i) image.rgb[i] = static_cast<uint32_t>(i * 0x010203);
  std::string error, path = dir.path() + "/odd.bmp";
  ASSERT_TRUE(WriteBmp(path, image, &error)) << error;
  Image back;
  ASSERT_TRUE(ReadBmp(path, &back, &error)) << error;
  EXPECT_EQ(back.width, 7);
  EXPECT_EQ(back.height, 3);
  EXPECT_EQ(back.rgb, image.rgb);
  EXPECT_EQ(BmpHeader(7, 3).size(), 54u);
  EXPECT_EQ(BmpStride(7), 24u);

  std::FILE* f = std::fopen((dir.path() + "/not.bmp").c_str(), "wb");
  std::fputs("BM but nothing else", f);
  std::fclose(f);
  EXPECT_FALSE(ReadBmp(dir.path() + "/not.bmp", &back, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ReadBmp(dir.path() + "/none.bmp", &back, &error));
}

TEST(Bmp24, ReadsPaletteBitmapsAsTheExportWritesThem) {
  test::TempDir dir;
  // 5 x 2, 8 bits, two colours used of a table of 256: rows of 8 bytes.
  std::vector<uint8_t> b(14 + 40 + 1024 + 16, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 1078);
  put32(14, 40);
  put32(18, 5);
  put32(22, 2);
  b[26] = 1;
  b[28] = 8;
  put32(46, 256);
  put32(54 + 4 * 1, 0x00FF0000);  // entry 1: red (blue, green, red, 0)
  put32(54 + 4 * 2, 0x000000FF);  // entry 2: blue
  for (int x = 0; x < 5; ++x) b[1078 + x] = 1;      // bottom row red
  for (int x = 0; x < 5; ++x) b[1078 + 8 + x] = 2;  // top row blue
  std::string path = dir.path() + "/pal.bmp", error;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
  Image image;
  ASSERT_TRUE(ReadBmp(path, &image, &error)) << error;
  EXPECT_EQ(image.At(0, 0), 0x0000FFu) << "top row";
  EXPECT_EQ(image.At(4, 1), 0xFF0000u) << "bottom row";

  put32(46, 300);  // more colours than an 8-bit table holds
  f = std::fopen(path.c_str(), "wb");
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
  EXPECT_FALSE(ReadBmp(path, &image, &error));
}

}  // namespace
}  // namespace tsl::pixels
