// Whole conversions of label and symbol plots against reviewed record dumps.
#include <gtest/gtest.h>

#include <string>

#include "support/conversion.h"

namespace tsl {
namespace {

std::string Label(const std::string& text) { return "LB" + text + "\x03"; }

// A title block: a frame, labels in the four directions, every origin at a
// marked point, a two-line label, italic and bold text, a downward path, a
// user-defined character and CP.
std::string TitleBlock() {
  std::string plot = "IN;SP1;PU1000,1000;PD11000,1000,11000,7600,1000,7600,1000,1000;"
                     "PU1000,2400;PD11000,2400;PU6000,1000;PD6000,2400;"
                     "SI0.25,0.4;";
  plot += "PU8500,5000;DI1,0;" + Label("EAST");
  plot += "PU8500,5000;DI0,1;" + Label("NORTH");
  plot += "PU8500,5000;DI-1,0;" + Label("WEST");
  plot += "PU8500,5000;DI0,-1;" + Label("SOUTH");
  plot += "DI;TL1;";
  for (int origin = 1; origin <= 9; ++origin) {
    int x = 1600 + (origin - 1) % 3 * 1800, y = 6800 - (origin - 1) / 3 * 1200;
    plot += "PU" + std::to_string(x) + "," + std::to_string(y) + ";XT;YT;LO" +
            std::to_string(origin) + ";" + Label("LO" + std::to_string(origin));
  }
  plot += "LO1;PU1200,2000;SP2;" + Label("TITLE BLOCK\r\nSheet 1 of 2");
  plot += "CP;SD5,1;SI0.2,0.3;" + Label("italic") + "SD5,0,6,5;" + Label(" bold");
  plot += "SD6,0;SP3;PU6200,2000;DV1;SI0.2,0.3;" + Label("Dn") + "DV;";
  plot += "PU8000,1500;UC99,0,8,4,0,0,-8,-4,0,-99;" + Label("x\b_");
  plot += "SP1;PU6400,1200;ES0.5,0.5;" + Label("Rev \xC1");
  return plot;
}

TEST(LabelGolden, TitleBlockWithWindowsFonts) {
  test::TestConversion run = test::ConvertForTest(TitleBlock());
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(run.log.find("Error"), std::string::npos) << run.log;
  test::ExpectGolden("labels_title_text.txt", run.dump);
}

TEST(LabelGolden, TitleBlockWithTheStrokeFont) {
  SettingsSet s = DefaultSettings();
  s.Set(DrawChars, true);
  test::TestConversion run = test::ConvertForTest(TitleBlock(), s);
  EXPECT_EQ(run.result, 1);
  test::ExpectGolden("labels_title_strokes.txt", run.dump);
}

// A chart: axes with ticks, data points in symbol mode with the pen up and
// down, then symbol mode off again.
TEST(LabelGolden, SymbolModeWithTicks) {
  std::string plot = "IN;SP1;PU1000,1000;PD1000,6000;PU1000,1000;PD10000,1000;TL1.5,0.5;";
  for (int x = 2000; x <= 10000; x += 1000) plot += "PU" + std::to_string(x) + ",1000;YT;";
  for (int y = 2000; y <= 6000; y += 1000) plot += "PU1000," + std::to_string(y) + ";XT;";
  plot += "SP2;SI0.2,0.3;SM*;PU2000,2000,3000,3500;PD4000,3000,5000,4200;"
          "SP4;SMo;PU6000,4000;PD7000,5200,8000,4800;SM;PD9000,5500;PU;";
  test::TestConversion run = test::ConvertForTest(plot);
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(run.log.find("Error"), std::string::npos) << run.log;
  test::ExpectGolden("labels_symbols.txt", run.dump);
}

}  // namespace
}  // namespace tsl
