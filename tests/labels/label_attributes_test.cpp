// SI/SR, DI/DR, DV, LO, ES, SL, DT and CP against a call-logging device.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "labels/label_test_support.h"

namespace tsl {
namespace {

using test::HandlerFixture;
using test::InitFresh;

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

struct Attributes : ::testing::Test {
  HandlerFixture f;
  PlotterState& ps = f.ps;
  void SetUp() override { InitFresh(f); }
};

TEST_F(Attributes, SiSetsAbsoluteSizesAndANewFont) {
  f.Run("SI");
  EXPECT_EQ(ps.cxChar, 75);
  EXPECT_EQ(ps.cyChar, 107);
  EXPECT_DOUBLE_EQ(ps.dRelCharW, 0.1879);
  EXPECT_DOUBLE_EQ(ps.dRelCharH, 0.269);
  EXPECT_FALSE(ps.bMode & REL_CHAR_SIZE);
  // The font's em is larger than the capitals it must make 107 high.
  EXPECT_TRUE(Contains(f.device.Joined(), "SelectObject font(-187,75,0,0,500,"));

  f.Run("SI0.5,0.8");
  EXPECT_EQ(ps.cxChar, 200);
  EXPECT_EQ(ps.cyChar, 320);
  EXPECT_EQ(ps.nExecuted, 2);

  // One parameter is malformed and changes nothing.
  f.ClearRecords();
  f.Run("SI0.5");
  EXPECT_EQ(ps.cxChar, 200);
  EXPECT_EQ(ps.nErrors, 1);
  EXPECT_EQ(f.logText, "Error: Expecting 2 parameters: 'SI0.5' at offset 0x0\r\n");
  EXPECT_TRUE(f.device.calls.empty());
}

TEST_F(Attributes, SrFollowsP1P2AndTheOldFontIsDeleted) {
  f.Run("IP0,0,10000,7000");
  f.Run("SI0.5,0.8");
  f.ClearRecords();
  f.Run("SR");
  EXPECT_EQ(ps.cxChar, 75);
  EXPECT_EQ(ps.cyChar, 105);
  EXPECT_TRUE(ps.bMode & REL_CHAR_SIZE);
  EXPECT_EQ(f.device.Joined(),
            "SelectObject font(-183,75,0,0,500,0,Courier New)\n"
            "DeleteObject font(-560,200,0,0,500,0,Courier New)");
  f.Run("SR2,3");
  EXPECT_EQ(ps.cxChar, 200);
  EXPECT_EQ(ps.cyChar, 210);
}

TEST_F(Attributes, DiAnglesAreTenthsOfADegreeClockwise) {
  const struct {
    const char* command;
    int angle;
  } cases[] = {{"DI1,0", 3600}, {"DI0,1", 2700},       {"DI0,-1", 900}, {"DI1,1", 3150},
               {"DI-1,0", 1800}, {"DI0.05,0.05", 0},   {"DI", 0},
               // Below the x axis atan2 is negative: the angle is not reduced.
               {"DI1,-1", 4050}};
  for (const auto& c : cases) {
    f.ClearRecords();
    f.Run(c.command);
    EXPECT_EQ(ps.nLabelAngle, c.angle) << c.command;
    std::string font = "," + std::to_string(c.angle) + "," + std::to_string(c.angle) + ",";
    EXPECT_TRUE(Contains(f.device.Joined(), font)) << c.command << ": " << f.device.Joined();
  }
  f.Run("DI1");
  EXPECT_EQ(ps.nErrors, 1);
  EXPECT_EQ(ps.nLabelAngle, 4050);
}

TEST_F(Attributes, DrScalesByP1P2BeforeTheZeroTests) {
  f.Run("IP0,0,10000,100");
  f.Run("DR0.001,1");  // 10 x 0.001 x 10000 is not zero: a real direction
  EXPECT_EQ(ps.nLabelAngle, 3600 - static_cast<int>(std::atan2(100.0, 10.0) * 572.9577951308232));
  f.Run("DR0.005,0");
  EXPECT_EQ(ps.nLabelAngle, 3600);
}

TEST(DirectionOptions, RoRotationAndMirroringTurnTheLabelAngle) {
  HandlerFixture f;
  InitFresh(f);
  f.Run("RO90");
  f.Run("DI1,0");
  EXPECT_EQ(f.ps.nLabelAngle, 2700);

  SettingsSet s = DefaultSettings();
  s.Set(MirrorY, true);
  HandlerFixture mirrored(s);
  InitFresh(mirrored);
  mirrored.Run("DI1,1");
  EXPECT_EQ(mirrored.ps.nLabelAngle, 450);

  s = DefaultSettings();
  s.Set(Rotate, true);
  s.Rotation = 90;
  HandlerFixture rotated(s);
  InitFresh(rotated);
  rotated.Run("DI1,1");
  EXPECT_EQ(rotated.ps.nLabelAngle, (3150 + 900 + 1800) % 3600);
  // A new size under the drawing rotation keeps the direction.
  rotated.Run("SI0.3,0.4");
  EXPECT_EQ(rotated.ps.nLabelAngle, (3150 + 900 + 1800) % 3600);
  rotated.Run("IN");
  rotated.Run("SI");
  EXPECT_EQ(rotated.ps.nLabelAngle, (900 + 1800) % 3600);
}

TEST_F(Attributes, LoAcceptsOneToNineAndElevenToNineteen) {
  f.Run("LO19");
  EXPECT_EQ(ps.nLabelOrigin, 19);
  for (const char* bad : {"LO10", "LO0", "LO20"}) f.Run(bad);
  EXPECT_EQ(ps.nLabelOrigin, 19);
  EXPECT_EQ(ps.nErrors, 3);
  EXPECT_TRUE(Contains(f.logText,
                       "Error: Expecting a value between 1..9 or 11..19: 'LO10' at offset 0x0\r\n"));
  f.Run("LO");
  EXPECT_EQ(ps.nLabelOrigin, 1);
  EXPECT_EQ(ps.nExecuted, 2);
}

TEST_F(Attributes, DvAndEsSetPathAndSpacing) {
  f.Run("DV1,7");
  EXPECT_EQ(ps.nLabelPath, 1);
  EXPECT_EQ(ps.fLineReverse, 1);
  f.Run("DV5");
  EXPECT_EQ(ps.nLabelPath, 0);
  EXPECT_EQ(ps.fLineReverse, 0);
  f.Run("DV259");  // only the low byte counts
  EXPECT_EQ(ps.nLabelPath, 3);
  f.Run("DV");
  EXPECT_EQ(ps.nLabelPath, 0);

  f.Run("ES0.5");
  EXPECT_DOUBLE_EQ(ps.dSpaceFactor, 1.5);
  EXPECT_DOUBLE_EQ(ps.dLineFactor, 1.0);
  f.Run("ES0.5,-0.25,9");
  EXPECT_DOUBLE_EQ(ps.dLineFactor, 0.75);
  f.Run("ES");
  EXPECT_DOUBLE_EQ(ps.dSpaceFactor, 1.0);
  EXPECT_DOUBLE_EQ(ps.dLineFactor, 1.0);
  EXPECT_EQ(ps.nExecuted, 7);
  EXPECT_EQ(ps.nErrors, 0);
}

TEST_F(Attributes, SlReportsOnlyAVisibleSlant) {
  f.Run("SL");
  f.Run("SL0.04");
  EXPECT_EQ(ps.nExecuted, 2);
  EXPECT_TRUE(f.logText.empty());
  f.Run("SL0.5");
  EXPECT_EQ(ps.nIgnored, 1);
  EXPECT_EQ(f.logText,
            "'Character Slant' command(s) not implemented: 'SL0.5' at offset 0x0\r\n");

  SettingsSet s = DefaultSettings();
  s.Set(NoNOPWarnings, true);
  HandlerFixture quiet(s);
  InitFresh(quiet);
  quiet.Run("SL0.5");
  EXPECT_EQ(quiet.ps.nIgnored, 1);
  EXPECT_TRUE(quiet.logText.empty());
}

TEST_F(Attributes, DtSetsTheTerminatorAndKeepsItsVisibility) {
  EXPECT_EQ(ps.chTerminator, ETX);
  f.Run("DT#");
  EXPECT_EQ(ps.chTerminator, '#');
  EXPECT_EQ(ps.showTerminator, 0);
  ps.showTerminator = 1;
  f.Run("DT*");
  EXPECT_EQ(ps.showTerminator, 1);
  f.Run("DT*,0");
  EXPECT_EQ(ps.showTerminator, 0);
  f.Run("DT@,1");
  EXPECT_EQ(ps.chTerminator, '@');
  EXPECT_EQ(ps.showTerminator, 1);
  f.Run("DT");
  EXPECT_EQ(ps.chTerminator, ETX);
  EXPECT_EQ(ps.nExecuted, 5);
}

struct CharacterPlot : Attributes {
  void SetUp() override {
    Attributes::SetUp();
    f.RunAll("SI0.4,0.8;PA1000,2000");  // 30 x 40 plotter units per grid unit
    f.ClearRecords();
  }
};

TEST_F(CharacterPlot, EachCarriageReturnGoesOneLineFurther) {
  // The pen moved since any label: the line starts at the pen.
  f.Run("CP");
  EXPECT_EQ(ps.xPen, 1000);
  EXPECT_EQ(ps.yPen, 2000 - 16 * 40);
  f.Run("CP");
  EXPECT_EQ(ps.xPen, 1000);
  EXPECT_EQ(ps.yPen, 2000 - 2 * 16 * 40);
  EXPECT_EQ(f.device.calls.front(), "MoveToEx 1000,1360");
  EXPECT_TRUE(Contains(f.device.Joined(), "\nMoveToEx 1000,720\n"));
  EXPECT_EQ(ps.xLabelStart, 1000);
  EXPECT_EQ(ps.yLabelStart, 720);
}

TEST_F(CharacterPlot, MovesInCellsFromThePenAlongThePathAndRestoresThePenState) {
  f.RunAll("PD;PR");
  f.Run("CP2,1");
  EXPECT_EQ(ps.xPen, 1000 + 2 * 8 * 30);
  EXPECT_EQ(ps.yPen, 2000 + 16 * 40);
  EXPECT_EQ(ps.fPenDown, 1);
  EXPECT_TRUE(ps.bMode & RELATIVE);
  EXPECT_EQ(f.device.calls.front(), "MoveToEx 1480,2640");

  // Path 1 runs down the page: spaces go down, lines go left; ES still
  // scales x by the space factor.
  f.RunAll("DV1;ES1,0");
  f.Run("CP2,1");
  EXPECT_EQ(ps.xPen, 1480 + 8 * 1 * 2 * 30);
  EXPECT_EQ(ps.yPen, 2640 - 16 * 2 * 40);
  f.Run("DV1,1");
  f.Run("CP2,1");
  EXPECT_EQ(ps.xPen, 1480);
  EXPECT_EQ(ps.yPen, 2640 - 2 * 16 * 2 * 40);

  f.Run("CP3");
  EXPECT_EQ(ps.nErrors, 1);
  EXPECT_TRUE(Contains(f.logText, "Error: Expecting 2 parameters: 'CP3' at offset 0x0"));
}

}  // namespace
}  // namespace tsl
