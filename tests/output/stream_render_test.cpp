// Drawing a metafile as it is read: runs of lines give the picture the
// records drawn one by one give, a file or an EMZ draws as its bytes do,
// and damage found part way or a drawing that takes too long is reported
// with nothing written.
#include <gtest/gtest.h>

#include <cairo.h>

#include <filesystem>
#include <memory>
#include <random>

#include "common/gdi/emf_reader.h"
#include "emf_samples.h"
#include "output/emf_renderer.h"
#include "output/emz.h"
#include "output/metafile_load_stream.h"
#include "output/raster_export.h"
#include "support/collect_notices.h"

namespace tsl::test {
namespace {

using namespace gdi;

// Pens of every kind the runs meet: cosmetic and one-pixel, dashed in
// pixels, wide with round ends, wide and dashed, each drawing runs of
// lines, polylines with collinear and repeated points, and end pixels in
// the pen's colour and in another one.
std::vector<uint8_t> RunsOfLines(uint32_t seed) {
  std::mt19937 rng(seed);
  auto coord = [&](int lo, int hi) { return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo)); };
  EmfBuilder b(20000, 15000);
  b.R(EMR_SETMAPMODE, {MM_LOMETRIC});
  const struct {
    uint32_t style;
    int32_t width;
  } pens[] = {{PS_SOLID, 0}, {PS_SOLID, 4}, {PS_DASH, 0}, {PS_SOLID, 25}, {PS_DASHDOT, 40}, {PS_DOT, 12}};
  int slot = 1;
  for (const auto& pen : pens) {
    COLORREF c = RGB(rng() % 256, rng() % 256, rng() % 256);
    b.Pen(slot, pen.style, pen.width, c).Select(static_cast<uint32_t>(slot));
    for (int i = 0; i < 150; ++i) {
      int32_t x = coord(0, 2000), y = -coord(0, 1500);
      switch (rng() % 4) {
        case 0:
          b.R(EMR_MOVETOEX, {x, y}).R(EMR_LINETO, {x + coord(-300, 300), y + coord(-300, 300)});
          b.R(EMR_SETPIXELV, {x, y, static_cast<int32_t>(rng() % 5 ? c : RGB(255, 0, 0))});
          break;
        case 1: {
          // Collinear steps that cairo merges before the points are put on
          // pixels, a repeated point, and a turn back.
          int16_t dx = static_cast<int16_t>(coord(1, 40)), dy = static_cast<int16_t>(coord(-40, 40));
          int16_t x0 = static_cast<int16_t>(x), y0 = static_cast<int16_t>(y);
          b.R(EMR_MOVETOEX, {x, y});
          b.Poly16(EMR_POLYLINETO16, {{x0, y0},
                                      {static_cast<int16_t>(x0 + dx), static_cast<int16_t>(y0 + dy)},
                                      {static_cast<int16_t>(x0 + 3 * dx), static_cast<int16_t>(y0 + 3 * dy)},
                                      {static_cast<int16_t>(x0 + 3 * dx), static_cast<int16_t>(y0 + 3 * dy)},
                                      {static_cast<int16_t>(x0 + 7 * dx), static_cast<int16_t>(y0 + 7 * dy)},
                                      {static_cast<int16_t>(x0 + 2 * dx), static_cast<int16_t>(y0 + 2 * dy)}});
          break;
        }
        case 2:
          b.Poly16(EMR_POLYLINE16, {{static_cast<int16_t>(x), static_cast<int16_t>(y)},
                                    {static_cast<int16_t>(x + coord(-200, 200)), static_cast<int16_t>(y + coord(-200, 200))},
                                    {static_cast<int16_t>(x + coord(-200, 200)), static_cast<int16_t>(y + coord(-200, 200))}});
          break;
        default:
          b.R(EMR_LINETO, {x, y});  // on from the last point
      }
    }
    ++slot;
  }
  return b.Finish(static_cast<uint16_t>(slot));
}

TEST(StreamRender, RunsOfLinesDrawAsTheRecordsDrawnOneByOne) {
  // Small pictures make every pen a pixel wide; large ones make them wide,
  // their ends round and their dashes scaled.
  for (uint32_t seed : {1u, 2u}) {
    const std::vector<uint8_t> emf = RunsOfLines(seed);
    for (int w : {160, 700, 1900}) {
      const int h = w * 3 / 4;
      Surface batched = Draw(emf, w, h, true), single = Draw(emf, w, h, false);
      EXPECT_EQ(0u, DifferingPixels(batched.get(), single.get())) << "seed " << seed << ", " << w << " pixels wide";
    }
  }
}

ExportRequest FromFile(const std::string& path, int32_t w, int32_t h) {
  ExportRequest r;
  r.metafilePath = path;
  r.width = w;
  r.height = h;
  return r;
}

TEST(StreamRender, AFileAndAnEmzDrawAsTheirBytesDo) {
  TempDir tmp;
  const std::vector<uint8_t> emf = SampleDrawing();
  const std::string plain = tmp.path() + "/d.emf", zipped = tmp.path() + "/d.emz";
  WriteBytes(plain, emf);
  ASSERT_GT(CompressEMF(zipped, plain), 0);
  ExportRequest bytes;
  bytes.metafile = emf.data();
  bytes.metafileSize = emf.size();
  bytes.width = 300;
  bytes.height = 150;
  MemoryDib want, got;
  std::string error;
  ASSERT_TRUE(EmfToMemoryDIB(bytes, DefaultSettings(), &want, &error)) << error;
  for (const std::string& path : {plain, zipped}) {
    ASSERT_TRUE(EmfToMemoryDIB(FromFile(path, 300, 150), DefaultSettings(), &got, &error)) << path << ": " << error;
    EXPECT_EQ(want.bits, got.bits) << path;
  }
  // A Windows metafile is converted first, then drawn the same way.
  const std::string wmf = tmp.path() + "/w.emf";
  WriteBytes(wmf, SampleWmf(true));
  MetafileStream stream;
  ASSERT_TRUE(stream.Open(wmf, &error)) << error;
  EXPECT_GT(stream.Header().rclFrame.right, 0);
  EXPECT_TRUE(EmfToMemoryDIB(FromFile(wmf, 100, 50), DefaultSettings(), &got, &error)) << error;
}

TEST(StreamRender, DamageFoundWhileDrawingIsReportedAndNothingIsWritten) {
  TempDir tmp;
  const std::vector<uint8_t> emf = SampleDrawing();
  // The header is sound; the records stop part way.
  std::vector<uint8_t> cut(emf.begin(), emf.begin() + static_cast<long>(emf.size() * 2 / 3));
  const std::string cutPath = tmp.path() + "/cut.emf";
  WriteBytes(cutPath, cut);
  // The same metafile compressed, its gzip stream cut short.
  const std::string whole = tmp.path() + "/whole.emf", zipped = tmp.path() + "/cut.emz";
  WriteBytes(whole, emf);
  ASSERT_GT(CompressEMF(zipped, whole), 0);
  std::vector<uint8_t> gz = ReadBytes(zipped);
  gz.resize(gz.size() - 40);
  WriteBytes(zipped, gz);
  const struct {
    std::string path, reason;
  } cases[] = {{cutPath, "truncated"}, {zipped, "compressed data are truncated"}};
  for (const auto& c : cases) {
    CollectNotices notices;
    const std::string out = tmp.path() + "/x.png";
    EXPECT_EQ(0, EmfToPngFile(notices, FromFile(c.path, 200, 100), DefaultSettings(), out)) << c.path;
    ASSERT_EQ(1u, notices.texts.size()) << c.path;
    EXPECT_NE(std::string::npos, notices.texts[0].find(c.reason)) << notices.texts[0];
    EXPECT_FALSE(std::filesystem::exists(out)) << c.path;
  }
}

TEST(StreamRender, ADrawingThatTakesTooLongIsGivenUp) {
  EmfBuilder b(10000, 10000);
  b.R(EMR_SETMAPMODE, {MM_LOMETRIC});
  b.Pen(1, PS_SOLID, 30, RGB(0, 0, 255)).Select(1);
  for (int i = 0; i < 4000; ++i) b.R(EMR_MOVETOEX, {i % 900, -(i % 700)}).R(EMR_LINETO, {(i * 7) % 1000, -(i % 1000)});
  const std::vector<uint8_t> emf = b.Finish(2);
  ExportRequest r = RequestFor(emf, 400, 400);
  MemoryDib dib;
  std::string error;
  r.timeLimit = 1e-9;
  EXPECT_FALSE(EmfToMemoryDIB(r, DefaultSettings(), &dib, &error));
  EXPECT_NE(std::string::npos, error.find("longer than")) << error;
  r.timeLimit = 0;  // no limit
  EXPECT_TRUE(EmfToMemoryDIB(r, DefaultSettings(), &dib, &error)) << error;
}

}  // namespace
}  // namespace tsl::test
