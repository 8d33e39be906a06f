#include <gtest/gtest.h>

#include "support/handler_fixture.h"

namespace tsl {
namespace {

using test::HandlerFixture;

TEST(PenMotion, PenDownAloneOnlyChangesThePen) {
  HandlerFixture f;
  f.Init();
  f.Run("PD");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.fPenDown, 1);
  f.Run("PA100,100");
  EXPECT_EQ(f.device.Joined(), "LineTo 100,100\nSetPixel 100,100 #000000");
  EXPECT_EQ(f.ps.nExecuted, 3);
}

TEST(PenMotion, SeveralPairsMakeOnePolyline) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PU10,10;PD;PA0,0,100,0,100,100");
  EXPECT_EQ(f.device.Joined(),
            "MoveToEx 10,10\nPolylineTo (10,10) (0,0) (100,0) (100,100)\nSetPixel 100,100 #000000");
  EXPECT_EQ(f.ps.xMin, 0);
  EXPECT_EQ(f.ps.xMax, 100);
}

TEST(PenMotion, PenUpPairsAreMoves) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PU10,10,20,20;PD30,30");
  EXPECT_EQ(f.device.Joined(), "MoveToEx 10,10\nMoveToEx 20,20\nLineTo 30,30\nSetPixel 30,30 #000000");
  // A batched pen-up move grows the extents; a single one does not.
  EXPECT_EQ(f.ps.xMin, 10);
  HandlerFixture g;
  g.Init();
  g.Run("PU500,500");
  EXPECT_EQ(g.ps.xMax, -11880);
}

TEST(PenMotion, OddParameterCounts) {
  HandlerFixture f;
  f.Init();
  f.Run("PA10,20,30");
  EXPECT_EQ(f.ps.xPen, 10);
  EXPECT_EQ(f.ps.yPen, 20);
  EXPECT_EQ(f.logText, "Error: Expecting an even number of parameters: 'PA10,20,30' at offset 0x0\r\n");
  EXPECT_EQ(f.ps.nErrors, 0);
  f.Run("PA5");
  EXPECT_EQ(f.ps.xPen, 10);
  EXPECT_EQ(f.ps.nExecuted, 3);
}

TEST(PenMotion, RelativePairsFollowEachOther) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PA100,100;PR10,0,10,0");
  EXPECT_EQ(f.ps.xPen, 120);
  EXPECT_TRUE(f.ps.bMode & RELATIVE);
  f.Run("PD");
  EXPECT_TRUE(f.ps.bMode & RELATIVE);  // PD keeps the mode
  f.Run("PA");
  EXPECT_FALSE(f.ps.bMode & RELATIVE);
}

TEST(PenMotion, ScaledCoordinatesTruncate) {
  HandlerFixture f;
  f.Init();
  f.settings.ScalePercent = 50;
  f.RunAll("PD;PA101,99");
  EXPECT_EQ(f.device.Joined(), "LineTo 50,49\nSetPixel 50,49 #000000");
  EXPECT_EQ(f.ps.xPen, 101);
  f.device.Clear();
  f.Run("PA-3,-5,7,9");
  EXPECT_EQ(f.device.Joined(), "PolylineTo (50,49) (-1,-2) (3,4)\nSetPixel 3,4 #000000");
}

TEST(PenMotion, DotModeDrawsOnlyDots) {
  HandlerFixture f;
  f.Init();
  f.ps.iLineType = 6;
  f.RunAll("PD;PA100,0,200,0");
  EXPECT_EQ(f.device.Joined(),
            "LineTo 1,0\n"
            "MoveToEx 0,0\nLineTo -1,0\nMoveToEx 0,0\n"
            "MoveToEx 100,0\nLineTo 99,0\nMoveToEx 100,0\n"
            "MoveToEx 200,0\nLineTo 199,0\nMoveToEx 200,0");
  f.device.Clear();
  f.Run("PA300,0");
  EXPECT_EQ(f.device.Joined(), "LineTo 201,0\nMoveToEx 300,0\nLineTo 299,0\nMoveToEx 300,0");
}

TEST(PenMotion, MeasureOnlyRecordsNothingButMeasures) {
  HandlerFixture drawn;
  HandlerFixture measured(DefaultSettings(), true);
  for (HandlerFixture* f : {&drawn, &measured}) {
    f->Init();
    f->RunAll("PU10,10;PD100,200,300,-50;PU;PA7,7;PD8,8");
  }
  EXPECT_TRUE(measured.device.calls.empty());
  EXPECT_FALSE(drawn.device.calls.empty());
  EXPECT_EQ(measured.ps.xPen, drawn.ps.xPen);
  EXPECT_EQ(measured.ps.yMin, drawn.ps.yMin);
  EXPECT_EQ(measured.ps.xMax, drawn.ps.xMax);
  EXPECT_EQ(measured.ps.yMax, 200);
}

TEST(PenMotion, HugeParameterCountsAreSafe) {
  HandlerFixture f;
  f.Init();
  std::string many = "PD";
  for (int i = 0; i < 300; ++i) many += std::to_string(i) + "," + std::to_string(-i) + ",";
  f.Run(many);  // more than the fixture's 256 parameters: cut with a warning
  EXPECT_NE(f.logText.find("Warning: Expecting at most 256 parameters"), std::string::npos);
  EXPECT_EQ(f.ps.xPen, 127);
}

}  // namespace
}  // namespace tsl
