// A bitmap drawn by several threads, each owning stripes of rows and
// leaving out the lines that reach none of them: the picture must be the
// one thread's, pixel for pixel, wherever ink reaches across a stripe's
// border (wide pens, square ends, miter points, dashes, end pixels, text,
// fills, clipping), and a failure in any thread fails the whole.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "emf_samples.h"
#include "output/raster_export.h"
#include "support/collect_notices.h"
#include "support/conversion.h"

namespace tsl::test {
namespace {

using namespace gdi;

int32_t FloatBits(float f) {
  int32_t v;
  std::memcpy(&v, &f, sizeof v);
  return v;
}

// Zig-zags whose miter points stick out far past their corners, wide lines
// with square ends and dashes, one-pixel lines and end pixels, all across
// stripe borders; then text, a filled polygon and lines in a clip.
std::vector<uint8_t> InkAcrossStripes(uint32_t seed) {
  std::mt19937 rng(seed);
  auto coord = [&](int lo, int hi) { return lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo)); };
  EmfBuilder b(20000, 15000);
  b.R(EMR_SETMAPMODE, {MM_LOMETRIC});
  const uint32_t geometric = 0x10000, squareEnds = 0x100, miter = 0x2000;
  // Geometric pens: square ends and miters, then round ends and dashes.
  b.R(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, static_cast<int32_t>(geometric | squareEnds | miter | PS_SOLID), 40, BS_SOLID,
                         static_cast<int32_t>(RGB(0, 0, 200)), 0, 0});
  b.R(EMR_EXTCREATEPEN, {2, 0, 0, 0, 0, static_cast<int32_t>(geometric | PS_DASH), 30, BS_SOLID,
                         static_cast<int32_t>(RGB(0, 150, 0)), 0, 0});
  b.Pen(3, PS_SOLID, 25, RGB(200, 0, 0)).Pen(4, PS_SOLID, 0, RGB(0, 0, 0));
  // Narrow corners: at the default limit of 10 the point of one with a
  // spread of 30 over a rise of 250 reaches 8.4 half-widths past it; at a
  // limit of 30, one of 10 over 250 reaches 25.
  for (const auto& z : {std::pair<float, int16_t>{10, 30}, {30, 10}}) {
    b.Select(1).R(EMR_SETMITERLIMIT, {FloatBits(z.first)});
    for (int i = 0; i < 6; ++i) {
      const int16_t x = static_cast<int16_t>(coord(100, 1500)), y = static_cast<int16_t>(-coord(300, 1400));
      std::vector<Point> pts;
      for (int k = 0; k < 6; ++k)
        pts.push_back({static_cast<int16_t>(x + k * z.second), static_cast<int16_t>(k % 2 ? y + 250 : y)});
      b.Poly16(EMR_POLYLINE16, pts);
    }
  }
  // Slanted lines with square ends whose lowest ends step down across the
  // first border of the usual stripes at 1200 px.
  b.Select(1);
  for (int i = 0; i < 40; ++i)
    b.R(EMR_MOVETOEX, {50 + i * 48, -(70 + i)}).R(EMR_LINETO, {80 + i * 48, -(40 + i)});
  for (uint32_t pen : {1u, 2u, 3u, 4u}) {
    b.Select(pen);
    const COLORREF c = pen == 1 ? RGB(0, 0, 200) : pen == 2 ? RGB(0, 150, 0) : pen == 3 ? RGB(200, 0, 0) : RGB(0, 0, 0);
    for (int i = 0; i < 120; ++i) {
      const int32_t x = coord(0, 2000), y = -coord(0, 1500);
      b.R(EMR_MOVETOEX, {x, y}).R(EMR_LINETO, {x + coord(-150, 150), y + coord(-150, 150)});
      b.R(EMR_SETPIXELV, {x, y, static_cast<int32_t>(c)});
    }
  }
  b.Font(5, -60, 0, "DejaVu Sans").Select(5);
  b.Text(300, -700, "Stripes", 40);
  b.Brush(6, BS_SOLID, RGB(255, 200, 0)).Select(6);
  b.Poly16(EMR_POLYGON16, {{1200, -200}, {1800, -650}, {1300, -1300}});
  b.R(EMR_INTERSECTCLIPRECT, {500, -400, 1500, -1100}).Select(3);
  for (int i = 0; i < 60; ++i) {
    const int32_t x = coord(300, 1700), y = -coord(200, 1300);
    b.R(EMR_MOVETOEX, {x, y}).R(EMR_LINETO, {x + coord(-300, 300), y + coord(-300, 300)});
  }
  return b.Finish(7);
}

// How many pixels of the picture drawn as `req` asks differ from the
// picture one thread draws.
size_t DifferingFromOneThread(ExportRequest req, const std::string& what) {
  MemoryDib one, many;
  std::string error;
  const int threads = req.threads, rows = req.stripeRows;
  req.threads = 1;
  req.stripeRows = 0;
  EXPECT_TRUE(EmfToMemoryDIB(req, DefaultSettings(), &one, &error)) << what << ": " << error;
  req.threads = threads;
  req.stripeRows = rows;
  EXPECT_TRUE(EmfToMemoryDIB(req, DefaultSettings(), &many, &error)) << what << ": " << error;
  if (one.bits.size() != many.bits.size()) return one.bits.size() + many.bits.size();
  size_t n = 0;
  for (size_t i = 0; i < one.bits.size(); ++i) n += one.bits[i] != many.bits[i];
  return n;
}

void ExpectSameInStripes(const std::vector<uint8_t>& emf, const std::string& what) {
  // Narrow stripes put a border under nearly every line; three threads
  // give each a share that is not every other stripe.
  const struct {
    int threads, rows;
  } shares[] = {{2, 4}, {3, 16}, {2, 0}};
  for (int w : {300, 1200}) {
    for (const auto& s : shares) {
      ExportRequest r = RequestFor(emf, w, w * 3 / 4);
      r.threads = s.threads;
      r.stripeRows = s.rows;
      EXPECT_EQ(0u, DifferingFromOneThread(r, what))
          << what << ", " << w << " px wide, " << s.threads << " threads, stripes of " << s.rows << " rows";
    }
  }
}

TEST(StripedDrawing, InkReachingAcrossStripesIsDrawnByEveryThreadItReaches) {
  for (uint32_t seed : {1u, 2u, 3u}) ExpectSameInStripes(InkAcrossStripes(seed), "seed " + std::to_string(seed));
}

TEST(StripedDrawing, SamplesAndConvertedPlotsAreTheOneThreadPicture) {
  ExpectSameInStripes(SampleDrawing(), "drawing");
  ExpectSameInStripes(SampleShapes(), "shapes");
  ExpectSameInStripes(SampleMapping(), "mapping");
  // The plots the Windows tests compare with GDI: fills, clipping, dashes,
  // labels, curves and what gnuplot and pstoedit write.
  const std::filesystem::path dir = std::filesystem::path(TESSELLA_TEST_DATA) / ".." / "windows" / "data" / "pixels";
  size_t plots = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".plt") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const TestConversion c = ConvertForTest(text.str());
    ASSERT_FALSE(c.emf.empty()) << entry.path();
    ExpectSameInStripes(c.emf, entry.path().filename().string());
    ++plots;
  }
  EXPECT_GE(plots, 8u);
}

TEST(StripedDrawing, WideLinesStrokedInGroupsAreTheLinesStrokedOneByOne) {
  // Figures of a run whose ink cannot meet share a stroke; in a clip off
  // the pixel grid they may not.
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    const std::vector<uint8_t> emf = InkAcrossStripes(seed);
    for (int w : {300, 333, 450, 1000}) {
      Surface grouped = Draw(emf, w, w * 3 / 4, true), single = Draw(emf, w, w * 3 / 4, false);
      EXPECT_EQ(0u, DifferingPixels(grouped.get(), single.get())) << "seed " << seed << ", " << w << " px wide";
    }
  }
}

TEST(StripedDrawing, AFailureInAnyThreadFailsThePicture) {
  const std::vector<uint8_t> emf = InkAcrossStripes(4);
  // Cut part way: every thread meets the damage, one report.
  const std::vector<uint8_t> cut(emf.begin(), emf.begin() + static_cast<long>(emf.size() / 2));
  ExportRequest r = RequestFor(cut, 400, 300);
  r.threads = 2;
  MemoryDib dib;
  std::string error;
  EXPECT_FALSE(EmfToMemoryDIB(r, DefaultSettings(), &dib, &error));
  EXPECT_NE(std::string::npos, error.find("cannot be read")) << error;
  // Out of time.
  r = RequestFor(emf, 400, 300);
  r.threads = 2;
  r.timeLimit = 1e-9;
  error.clear();
  EXPECT_FALSE(EmfToMemoryDIB(r, DefaultSettings(), &dib, &error));
  EXPECT_NE(std::string::npos, error.find("longer than")) << error;
  // Cancelled before it began: nothing drawn, as with one thread.
  std::atomic<bool> cancel{true};
  r.timeLimit = 0;
  r.cancel = &cancel;
  MemoryDib one, two;
  r.threads = 1;
  ASSERT_TRUE(EmfToMemoryDIB(r, DefaultSettings(), &one, &error)) << error;
  r.threads = 2;
  ASSERT_TRUE(EmfToMemoryDIB(r, DefaultSettings(), &two, &error)) << error;
  EXPECT_EQ(one.bits, two.bits);
}

}  // namespace
}  // namespace tsl::test
