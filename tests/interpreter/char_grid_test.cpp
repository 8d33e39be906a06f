// The character-grid helpers and the OEM table, on a bare plotter state.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "drawing/symbols.h"
#include "interpreter/char_grid.h"

namespace tsl {
namespace {

struct Grid : ::testing::Test {
  SettingsSet settings = DefaultSettings();
  PlotterState ps;
  void SetUp() override {
    ps.settings = &settings;
    ps.cxChar = 160;
    ps.cyChar = 320;
    ps.dxP1P2 = 10000;
    ps.dyP1P2 = 7000;
    ps.bMode = RELATIVE;
    ps.xPen = 1000;
    ps.yPen = 2000;
  }
  gdi::Point At(double a, double b) { return CharUnits(ps, a, b); }
};

TEST_F(Grid, ACellIsOneAndAHalfWidthsByTwoHeights) {
  // 8 units across are 1.5 x 160, 16 up are 2 x 320.
  gdi::Point p = At(8, 16);
  EXPECT_EQ(p.x, 1000 + 240);
  EXPECT_EQ(p.y, 2000 + 640);
  // No whole-unit rounding per grid unit: 1.5 x 75 is 112.5.
  ps.cxChar = 75;
  EXPECT_EQ(At(8, 0).x, 1000 + 112);
  EXPECT_EQ(At(-8, 0).x, 1000 - 112);
}

TEST_F(Grid, RelativeSizesUseTheSameCell) {
  // After SR the size is still the character's: SR's percentages of P1-P2
  // became cxChar and cyChar, and the grid follows them, not P1-P2 alone.
  ps.bMode |= REL_CHAR_SIZE;
  gdi::Point p = At(8, 16);
  EXPECT_EQ(p.x, 1000 + 240);
  EXPECT_EQ(p.y, 2000 + 640);
}

TEST_F(Grid, RotationsTurnTheDisplacement) {
  ps.nRotation = 90;
  gdi::Point p = At(8, 0);
  EXPECT_EQ(p.x, 1000);
  EXPECT_EQ(p.y, 2000 + 240);
  // The drawing rotation turns the other way round: 90 acts as 270.
  ps.nRotation = 0;
  settings.Set(Rotate, true);
  settings.Rotation = 90;
  p = At(8, 0);
  EXPECT_EQ(p.x, 1000);
  EXPECT_EQ(p.y, 2000 - 240);
  settings.Rotation = 180;
  p = At(8, 0);
  EXPECT_EQ(p.x, 1000 - 240);
  EXPECT_EQ(p.y, 2000);
}

TEST_F(Grid, PlacementMirrorsRelativeToThePenOrFromP2) {
  settings.Set(MirrorX, true);
  EXPECT_EQ(At(8, 0).x, 1000 - 240);
  ps.bMode = SCALED;
  ps.xP1 = 100;
  ps.yP1 = 200;
  ps.xP2 = 5000;
  ps.yP2 = 6000;
  gdi::Point p = At(8, 8);
  EXPECT_EQ(p.x, 5000 - (100 + 240));
  EXPECT_EQ(p.y, 200 + 320);
  settings.Set(MirrorX, false);
  settings.Set(MirrorY, true);
  ps.bMode = 0;
  p = At(8, 8);
  EXPECT_EQ(p.x, 240);
  EXPECT_EQ(p.y, 6000 - 320);
}

TEST_F(Grid, HostileSizesSaturateInsteadOfOverflowing) {
  ps.cxChar = INT32_MAX;
  ps.xPen = INT32_MAX - 5;
  EXPECT_EQ(At(1e12, 0).x, INT32_MAX);
  ps.xPen = INT32_MIN + 5;
  EXPECT_EQ(At(-1e12, 0).x, INT32_MIN);
  EXPECT_EQ(Trunc32(std::nan("")), 0);
  EXPECT_EQ(Trunc32(-2.9), -2);
  EXPECT_EQ(Trunc32(1e300), INT32_MAX);
}

TEST(DirectionRotation, TreatsNearlyVerticalVectorsAsVertical) {
  double x = 8, y = 0;
  DirectionRotation(x, y, 90);
  EXPECT_NEAR(x, 0, 1e-9);
  EXPECT_NEAR(y, 8, 1e-9);
  // |x| <= 0.01 counts as straight down, so the small x is dropped.
  x = 0.005, y = -2;
  DirectionRotation(x, y, 90);
  EXPECT_NEAR(x, std::sqrt(0.005 * 0.005 + 4), 1e-9);
  EXPECT_NEAR(y, 0, 1e-9);
}

TEST(OemToAnsi, AccentsKeepTheirLetterAndLineDrawingBecomesLookAlikes) {
  EXPECT_EQ(OemToAnsi(0x41), 0x41);
  EXPECT_EQ(OemToAnsi(0x82), 0xE9);  // e acute
  EXPECT_EQ(OemToAnsi(0x8E), 0xC4);  // A diaeresis
  EXPECT_EQ(OemToAnsi(0xE1), 0xDF);  // sharp s
  EXPECT_EQ(OemToAnsi(0xF8), 0xB0);  // degree
  EXPECT_EQ(OemToAnsi(0x9F), 0x83);  // f with hook
  EXPECT_EQ(OemToAnsi(0xC4), '-');   // horizontal line
  EXPECT_EQ(OemToAnsi(0xDA), '+');   // corner
  EXPECT_EQ(OemToAnsi(0xB3), 0xA6);  // vertical line as broken bar
}

}  // namespace
}  // namespace tsl
