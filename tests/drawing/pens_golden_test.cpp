#include <gtest/gtest.h>

#include <string>

#include "polyline_encoded_encoder.h"
#include "support/conversion.h"

namespace tsl::test {
namespace {

// A frame in pen 1, a dashed square and a dash-dot zigzag written with PE, a
// fractional five-bit PE in a colour set by CR and PC, dots, and a pen with
// a configured width.
std::string MixedPlot() {
  std::string p = "IN;SP1;PW0.35;PA0,0;PD4000,0,4000,3000,0,3000,0,0;PU;";
  p += "SP2;LT2;PT0.5;PA500,500;PE" + PePair(1000, 0) + PePair(0, 1000) + PePair(-1000, 0) +
       PePair(0, -1000) + ";";
  p += "LT4;PE:" + PeNumber(3) + "<=" + PePair(2000, 500) + PePair(500, 500) + PePair(500, -500) +
       PePair(500, 500) + ";";
  p += "CR0,100,0,100,0,100;PC6,100,50,0;PW1;LT;PE:" + PeNumber(6) + "7>" + PeNumber(2, 5) + "<=" +
       PePair(12000, 8000, 5) + PePair(-2000, 2, 5) + PePair(0, -2000, 5) + ";";
  p += "SP4;LT0;PA3500,2500;PD3600,2500,3700,2500;PU;";
  p += "SP5;LT6;PA100,2900;PD3900,100;PU;SP0;";
  return p;
}

TEST(PensGolden, MixedPensWidthsDashesAndEncodedPolylines) {
  SettingsSet s = DefaultSettings();
  s.PenWidth[5] = 2;
  TestConversion c = ConvertForTest(MixedPlot(), s);
  EXPECT_EQ(c.log.find("Error"), std::string::npos) << c.log;
  EXPECT_EQ(c.log.find("Warning"), std::string::npos) << c.log;
  ASSERT_FALSE(c.dump.empty());
  ExpectGolden("pens_mixed.txt", c.dump);
}

}  // namespace
}  // namespace tsl::test
