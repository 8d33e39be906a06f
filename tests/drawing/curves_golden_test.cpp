#include <gtest/gtest.h>

#include <string>

#include "support/conversion.h"

namespace tsl::test {
namespace {

// Circles, arcs, a polygon with a hole, a hatched rectangle, wedges and
// Bezier curves: the shapes of a typical mechanical drawing.
const char kDrawing[] =
    "IN;"
    "PA2000,2000;CI500;CI300,10;"
    "PA4000,2000;PD;AA4000,1500,120;AR0,-300,-90,15;PU;"
    "PA6000,1000;PM0;PD6000,3000,8000,3000,8000,1000,6000,1000;PM1;"
    "PU6500,1500;PD6500,2500,7500,2500,7500,1500,6500,1500;PM2;FP;"
    "PU;PM0;PA8500,1000;PD9500,1000,9000,2000;PM2;EP;PU;"
    "FT3;PA1000,4000;RA3000,5500;EA3000,5500;"
    "FT4;PA5000,5000;WG800,30,120;EW800,150,-60,10;"
    "FT1;AC100,100;WG600,200,90;"
    "PA9000,5000;PD;BR0,500,500,500,500,0;BZ9500,4500,10000,5500,10500,5000;PU;";

TEST(CurvesGolden, WithAndWithoutCompatibilityMode) {
  for (bool compat : {true, false}) {
    SettingsSet s = DefaultSettings();
    s.Set(CompatibilityMode, compat);
    TestConversion c = ConvertForTest(kDrawing, s);
    EXPECT_EQ(c.log.find("Error"), std::string::npos) << c.log;
    ExpectGolden(compat ? "curves_chords.txt" : "curves_gdi.txt", c.dump);
  }
}

TEST(CurvesGolden, HostileParametersFinishQuickly) {
  std::string huge(400, '9');
  std::string plot = "IN;PD;CI" + huge + ";CI1" + std::string(300, '0') + ",0;AA0,0,1000000000,0;"
                     "AA0,0," + huge + ";WG" + huge + ",1,-" + huge + ";EW5," + huge + ",1000000000;";
  // 100,000 curves, in commands that stay below the largest command a run takes.
  plot += "PA0,0;";
  for (int command = 0; command < 10; ++command) {
    plot += "BZ";
    for (int i = 0; i < 60000; ++i) plot += (i ? "," : "") + std::to_string(i % 977);
    plot += ";";
  }
  plot += "PA1,1;";
  for (bool compat : {true, false}) {
    SettingsSet s = DefaultSettings();
    s.Set(CompatibilityMode, compat);
    TestConversion c = ConvertForTest(plot, s);
    EXPECT_EQ(c.log.find("Error"), std::string::npos);
    size_t curves = 0;
    for (size_t at = 0; (at = c.dump.find("EMR_POLYBEZIERTO16 ", at)) != std::string::npos; ++at) ++curves;
    EXPECT_EQ(curves, 10u);
    EXPECT_NE(c.dump.find("n=30000 "), std::string::npos);
    // Everything after the curves still ran.
    EXPECT_NE(c.dump.find("EMR_LINETO (1,1)"), std::string::npos);
  }
}

}  // namespace
}  // namespace tsl::test
