// Dashed line types at widths above a pixel: recorded as geometric pens
// with the line type's dashes, and drawn dashed (GDI draws its own dash
// styles solid there, and so did we).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emf_samples.h"
#include "output/raster_export.h"
#include "support/conversion.h"

namespace tsl::test {
namespace {

// Runs of ink and gaps along the row of a rendering of `emf` that has the
// most of them, from the first ink.
std::vector<int> Runs(const std::vector<uint8_t>& emf, int32_t width, int32_t height) {
  ExportRequest req = RequestFor(emf, width, height);
  MemoryDib dib;
  std::string error;
  EXPECT_TRUE(EmfToMemoryDIB(req, DefaultSettings(), &dib, &error)) << error;
  std::vector<int> most;
  for (int32_t y = 0; y < height; ++y) {
    std::vector<int> runs;
    int32_t x = 0;
    while (x < width && dib.At(x, y) == 0) ++x;
    while (x < width) {
      bool ink = dib.At(x, y) != 0;
      int n = 0;
      while (x < width && (dib.At(x, y) != 0) == ink) ++x, ++n;
      runs.push_back(n);
    }
    if (runs.size() > most.size()) most = runs;
  }
  return most;
}

TEST(ProducerDashes, WidePensStayDashed) {
  // A 1 mm pen, LT2 with a pattern of 5 per cent of the diagonal: dashes of
  // 364 units (half the pattern, less nothing: the pen's round ends lengthen
  // them).
  TestConversion c = ConvertForTest("IN;SP1;PW1;LT2,5;PA0,0;PD11880,0;PU;PA0,400;PD11880,400;");
  EXPECT_NE(c.dump.find("EMR_EXTCREATEPEN 2 style=0x10007 width=40 brush=0 color=#000000 dashes=364,364"),
            std::string::npos)
      << c.dump;
  // About 1188 pixels for the page's 11880 units: the pen is 4 pixels wide,
  // a pattern 73 pixels long.
  std::vector<int> runs = Runs(c.emf, 1200, 60);
  ASSERT_GE(runs.size(), 20u);
  for (size_t i = 1; i + 2 < runs.size(); ++i) {  // the last dash may be cut short
    if (i % 2 == 0) EXPECT_NEAR(runs[i], 36 + 4, 3) << "dash " << i;
    else EXPECT_NEAR(runs[i], 36 - 4, 3) << "gap " << i;
  }
}

}  // namespace
}  // namespace tsl::test
