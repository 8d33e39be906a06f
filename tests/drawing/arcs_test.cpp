#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "support/allocation_failure.h"
#include "support/handler_fixture.h"
#include "drawing/curves_test_util.h"

namespace tsl::test {
namespace {

using Calls = std::vector<std::string>;

SettingsSet NoCompat() {
  SettingsSet s = DefaultSettings();
  s.Set(CompatibilityMode, false);
  return s;
}

double AngleDeg(const gdi::Point& p, const gdi::Point& c) {
  double a = std::atan2(p.y - c.y, p.x - c.x) * 180 / 3.14159265358979323846;
  return a < 0 ? a + 360 : a;
}

TEST(Circle, ChordsRunCounterclockwiseInFiveDegreeSteps) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PA1000,1000;CI100");
  ASSERT_EQ(f.device.calls.size(), 5u) << f.device.Joined();
  EXPECT_EQ(f.device.calls[0], "MoveToEx 1000,1000");
  EXPECT_EQ(f.device.calls[1], "MoveToEx 1100,1000");
  std::vector<gdi::Point> pts = PointsOf(f.device.calls[2]);
  ASSERT_EQ(f.device.calls[2].rfind("PolylineTo", 0), 0u);
  ASSERT_EQ(pts.size(), 73u);  // 0, 5, ..., 355 degrees and the closing point
  gdi::Point c{1000, 1000};
  for (size_t i = 0; i < 72; ++i) {
    EXPECT_NEAR(AngleDeg(pts[i], c), 5.0 * i, 0.7) << i;
    EXPECT_NEAR(std::hypot(pts[i].x - c.x, pts[i].y - c.y), 100, 1.5) << i;
  }
  EXPECT_EQ(pts[1].x, 1099);  // truncated, not rounded: 99.6, 8.7
  EXPECT_EQ(pts[1].y, 1008);
  EXPECT_EQ(pts.back().x, 1100);
  EXPECT_EQ(pts.back().y, 1000);
  EXPECT_EQ(f.device.calls[3], "SetPixel 1100,1000 #000000");
  EXPECT_EQ(f.device.calls[4], "MoveToEx 1000,1000");
  EXPECT_EQ(f.ps.xPen, 1000);
  EXPECT_EQ(f.ps.yPen, 1000);
  EXPECT_EQ(f.ps.xMin, 900);
  EXPECT_EQ(f.ps.yMin, 900);
  EXPECT_EQ(f.ps.xMax, 1100);
  EXPECT_EQ(f.ps.yMax, 1100);
  EXPECT_EQ(f.ps.nExecuted, 3);
}

TEST(Circle, ChordAngleParameterIsLimited) {
  struct Case {
    const char* cmd;
    size_t points;
  } cases[] = {
      {"CI100,0.2", 721}, {"CI100,-3", 721}, {"CI100,200", 3}, {"CI100,180", 3}, {"CI100,45", 9},
      {"CI100,7", 53},  // 0, 7, ..., 357 degrees: 52 chords and the closing point
  };
  for (const Case& c : cases) {
    HandlerFixture f;
    f.Init();
    f.Run(c.cmd);
    Calls poly = CallsStarting(f.device.calls, "PolylineTo");
    ASSERT_EQ(poly.size(), 1u) << c.cmd;
    EXPECT_EQ(PointsOf(poly[0]).size(), c.points) << c.cmd;
  }
  HandlerFixture f;
  f.Init();
  f.Run("CI100,200");
  Calls poly = CallsStarting(f.device.calls, "PolylineTo");
  EXPECT_EQ(poly[0], "PolylineTo (100,0) (-100,0) (100,0)");
}

TEST(Circle, NegativeRadiusStartsOnTheLeftWithTheSameExtents) {
  HandlerFixture f;
  f.Init();
  f.Run("CI-100");
  std::vector<gdi::Point> pts = PointsOf(CallsStarting(f.device.calls, "PolylineTo").at(0));
  ASSERT_EQ(pts.size(), 73u);
  EXPECT_EQ(pts.front().x, -100);
  EXPECT_EQ(pts.front().y, 0);
  EXPECT_EQ(pts.back().x, -100);
  EXPECT_EQ(pts[18].y, -100);  // 90 degrees with a negative radius lies below
  EXPECT_EQ(f.ps.xMin, -100);
  EXPECT_EQ(f.ps.yMin, -100);
  EXPECT_EQ(f.ps.xMax, 100);
  EXPECT_EQ(f.ps.yMax, 100);
}

TEST(Circle, OneArcWithoutCompatibilityMode) {
  HandlerFixture f(NoCompat());
  f.Init();
  f.RunAll("PA1000,1000;CI100");
  EXPECT_EQ(f.device.Joined("|"), "MoveToEx 1000,1000|Arc 900,1100,1100,900 1100,1000 1100,1000");
  HandlerFixture g(NoCompat());
  g.Init();
  g.Run("CI-100");
  EXPECT_EQ(g.device.Joined("|"), "Arc -100,100,100,-100 100,0 100,0");
}

TEST(Circle, RadiusInUserUnitsAndScaledOutput) {
  SettingsSet s = NoCompat();
  s.ScalePercent = 50;
  HandlerFixture f(s);
  f.Init();
  f.RunAll("SC-50,50,0,100;CI1");
  // 11880 plotter units across 100 user units: a radius of 118, without the
  // user offset; recorded at half size.
  EXPECT_EQ(f.device.calls.back(), "Arc -59,59,59,-59 59,0 59,0");
  EXPECT_EQ(f.ps.xMax, 118);
}

TEST(Circle, MissingRadiusIsAnError) {
  HandlerFixture f;
  f.Init();
  f.Run("CI");
  EXPECT_EQ(f.logText, "Error: Expecting 1 or 2 parameters: 'CI' at offset 0x0\r\n");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_EQ(f.ps.nExecuted, 1);  // the IN
  EXPECT_TRUE(f.device.calls.empty());
}

TEST(Circle, FallsBackToArcWithoutPointBuffer) {
  HandlerFixture f;
  f.Init();
  {
    test::AllocationFailure fail([](size_t, size_t size) { return size >= 73 * sizeof(gdi::Point); });
    f.Run("CI100");
  }
  EXPECT_EQ(f.device.Joined("|"), "Arc -100,100,100,-100 100,0 100,0");
}

TEST(Arc, PenUpOnlyMovesToTheEnd) {
  HandlerFixture f;
  f.Init();
  f.Run("PA1000,0");
  f.ClearRecords();
  f.Run("AA0,0,90");
  EXPECT_EQ(f.device.Joined("|"), "SetArcDirection 1|MoveToEx 0,1000");
  EXPECT_EQ(f.ps.xPen, 0);
  EXPECT_EQ(f.ps.yPen, 1000);
  EXPECT_EQ(f.ps.xMin, 0);  // only the end point grows the extents
  EXPECT_EQ(f.ps.xMax, 0);
  EXPECT_EQ(f.ps.yMin, 1000);
}

TEST(Arc, QuarterCircleInChords) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PA1000,0;PD");
  f.ClearRecords();
  f.Run("AA0,0,90");
  ASSERT_EQ(f.device.calls.size(), 3u) << f.device.Joined();
  std::vector<gdi::Point> pts = PointsOf(f.device.calls[0]);
  ASSERT_EQ(pts.size(), 19u);
  EXPECT_EQ(pts[0].x, 1000);
  EXPECT_EQ(pts[0].y, 0);
  EXPECT_EQ(pts[1].x, 996);
  EXPECT_EQ(pts[1].y, 87);
  EXPECT_EQ(pts[17].x, 87);
  EXPECT_EQ(pts[17].y, 996);
  EXPECT_EQ(pts[18].x, 0);
  EXPECT_EQ(pts[18].y, 1000);
  EXPECT_EQ(f.device.calls[1], "SetPixel 0,1000 #000000");
  EXPECT_EQ(f.device.calls[2], "SetArcDirection 1");
  EXPECT_EQ(f.ps.xPen, 0);
  EXPECT_EQ(f.ps.yPen, 1000);
  EXPECT_EQ(f.ps.xMax, 1000);
  EXPECT_EQ(f.ps.yMax, 1000);
  EXPECT_EQ(f.ps.yMin, 1000);
}

TEST(Arc, DirectionFollowsTheSignOfTheSweep) {
  HandlerFixture f(NoCompat());
  f.Init();
  f.RunAll("PA1000,0;PD");
  f.ClearRecords();
  f.Run("AA0,0,0.5");
  EXPECT_EQ(f.device.Joined("|"),
            "SetArcDirection 1|Arc -1000,1000,1000,-1000 1000,0 999,8|MoveToEx 999,8");
  f.RunAll("PA1000,0");
  f.ClearRecords();
  f.Run("AA0,0,-0.5");
  EXPECT_EQ(f.device.Joined("|"),
            "SetArcDirection 2|Arc -1000,1000,1000,-1000 1000,0 999,-8|MoveToEx 999,-8");
}

TEST(Arc, ZeroSweepIsNotTakenForAWholeCircle) {
  HandlerFixture f(NoCompat());
  f.Init();
  f.RunAll("PA1000,0;PD");
  f.ClearRecords();
  f.Run("AA0,0,0");
  EXPECT_TRUE(CallsStarting(f.device.calls, "Arc").empty()) << f.device.Joined();
  EXPECT_EQ(f.device.calls.front(), "SetArcDirection 2");
  EXPECT_EQ(f.ps.xPen, 1000);
  f.ClearRecords();
  f.Run("AA0,0,360");  // a full turn is one
  EXPECT_EQ(CallsStarting(f.device.calls, "Arc").size(), 1u);
}

TEST(Arc, ExtentsGrowByTheQuadrantCornersOfBothEnds) {
  // Start at 170 degrees, sweep 270: the second quadrant at the start, the
  // first (440 = 80 degrees) at the end; the quadrants passed over do not
  // count, so nothing grows below the centre.
  for (bool compat : {true, false}) {
    SettingsSet s = DefaultSettings();
    s.Set(CompatibilityMode, compat);
    HandlerFixture f(s);
    f.Init();
    f.RunAll("PA-984,173;PD;AA0,0,270");
    EXPECT_EQ(f.ps.xMin, -999);
    EXPECT_EQ(f.ps.xMax, 999);
    EXPECT_EQ(f.ps.yMax, 999);
    EXPECT_EQ(f.ps.yMin, 999);
  }
}

TEST(Arc, RelativeCentreAndTheModeIsKept) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PA1000,0;PD;AR-1000,0,90");
  EXPECT_EQ(f.ps.xPen, 0);
  EXPECT_EQ(f.ps.yPen, 1000);
  EXPECT_FALSE(f.ps.bMode & RELATIVE);
  f.RunAll("PR;AA0,0,90");
  EXPECT_TRUE(f.ps.bMode & RELATIVE);
  EXPECT_EQ(f.ps.xPen, -1000);
  EXPECT_EQ(f.ps.yPen, 0);
}

TEST(Arc, TooFewParametersAreAnError) {
  HandlerFixture f;
  f.Init();
  f.Run("AA0,0");
  EXPECT_EQ(f.logText, "Error: Expecting 3 or 4 parameters: 'AA0,0' at offset 0x0\r\n");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_TRUE(f.device.calls.empty());
}

TEST(Arc, HugeSweepsStayBoundedAndEndWhereTheyShould) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PA1000,0;PD");
  f.ClearRecords();
  f.Run("AA0,0,1000000000,0.1");
  Calls poly = CallsStarting(f.device.calls, "PolylineTo");
  ASSERT_EQ(poly.size(), 1u);
  std::vector<gdi::Point> pts = PointsOf(poly[0]);
  EXPECT_LE(pts.size(), 1500u);
  // 1e9 degrees is 280 degrees past a whole number of turns.
  EXPECT_EQ(pts.back().x, 173);
  EXPECT_EQ(pts.back().y, -984);
  EXPECT_EQ(f.ps.xPen, 173);
  EXPECT_EQ(f.ps.yPen, -984);

  std::string infinite(400, '9');
  for (std::string sweep : {std::string("1") + std::string(300, '0'), infinite, "-" + infinite}) {
    f.RunAll("PA1000,0");
    f.ClearRecords();
    f.Run("AA0,0," + sweep);
    poly = CallsStarting(f.device.calls, "PolylineTo");
    ASSERT_EQ(poly.size(), 1u);
    EXPECT_LE(PointsOf(poly[0]).size(), 1500u);
  }
}

TEST(Circle, HugeRadiusSaturates) {
  for (bool compat : {true, false}) {
    SettingsSet s = DefaultSettings();
    s.Set(CompatibilityMode, compat);
    HandlerFixture f(s);
    f.Init();
    f.Run("CI" + std::string(400, '9'));
    f.Run("CI1" + std::string(300, '0') + ",0.1");
    EXPECT_EQ(f.ps.xMax, INT32_MAX);
    EXPECT_EQ(f.ps.yMax, INT32_MAX);
    EXPECT_EQ(f.ps.xMin, -INT32_MAX);
    EXPECT_EQ(f.ps.nExecuted, 3);
    // A zero user range makes the radius infinite, or 0 / 0.
    f.Run("PA5,5");
    f.ps.bMode |= SCALED;
    f.ps.dUserXMin = f.ps.dUserXMax = 3;
    f.RunAll("CI5;CI-5;CI0");
    EXPECT_EQ(f.ps.nExecuted, 7);
    EXPECT_EQ(f.ps.nErrors, 0);
  }
}

TEST(Bezier, ParameterCountMustBeAMultipleOfSix) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PD;BZ1,2,3,4,5,6,7");
  EXPECT_EQ(f.logText, "Error: Expecting a multiple of 6 parameters: 'BZ1,2,3,4,5,6,7' at offset 0x0\r\n");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_TRUE(f.device.calls.empty());
  f.Run("BZ");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_EQ(f.ps.nExecuted, 3);
  EXPECT_TRUE(f.device.calls.empty());
}

TEST(Bezier, RelativeCurveFromThePen) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PA500,500;PD");
  f.ClearRecords();
  f.Run("BR0,100,100,100,100,0");
  EXPECT_EQ(f.device.Joined("|"), "PolyBezierTo (500,600) (600,600) (600,500)");
  EXPECT_EQ(f.ps.xPen, 600);
  EXPECT_EQ(f.ps.yPen, 500);
  EXPECT_EQ(f.ps.yMax, 600);  // control points count too
  EXPECT_FALSE(f.ps.bMode & RELATIVE);

  // A second curve starts where the first ended.
  f.ClearRecords();
  f.Run("BR0,100,100,100,100,0,0,-100,100,-100,100,0");
  EXPECT_EQ(f.device.Joined("|"),
            "PolyBezierTo (600,600) (700,600) (700,500) (700,400) (800,400) (800,500)");
  EXPECT_EQ(f.ps.xPen, 800);
  f.RunAll("PU;BR0,100,100,100,100,0,0,-100,100,-100,100,0");
  EXPECT_EQ(f.ps.xPen, 800);  // the pen up stays
  EXPECT_EQ(f.ps.xMax, 1000);
}

TEST(Bezier, PenUpDrawsNothingButGrowsTheExtents) {
  SettingsSet s = DefaultSettings();
  s.ScalePercent = 50;
  HandlerFixture f(s);
  f.Init();
  f.Run("BZ0,100,100,100,100,0");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.xPen, 0);
  EXPECT_EQ(f.ps.xMax, 100);
  EXPECT_EQ(f.ps.yMax, 100);
  f.Run("PD");
  f.Run("BZ0,100,100,100,101,0,0,0,0,0,3,3");
  EXPECT_EQ(f.device.Joined("|"), "PolyBezierTo (0,50) (50,50) (50,0) (0,0) (0,0) (1,1)");
  EXPECT_EQ(f.ps.xPen, 3);  // pen coordinates stay unscaled
}

TEST(Bezier, HundredThousandCurves) {
  HandlerFixture f;
  f.Init();
  const size_t params = 600000;
  f.args.resize(params);
  f.ps.pArgs = f.args.data();
  f.ps.nArgsMax = static_cast<int32_t>(params);
  std::string cmd = "BZ";
  for (size_t i = 0; i < params; ++i) cmd += (i ? "," : "") + std::to_string(i % 1000);
  f.Run("PD");
  f.Run(cmd);
  Calls bz = CallsStarting(f.device.calls, "PolyBezierTo");
  ASSERT_EQ(bz.size(), 1u);
  EXPECT_EQ(PointsOf(bz[0]).size(), params / 2);
  EXPECT_EQ(f.ps.nErrors, 0);
}

TEST(Curves, MeasureOnlyRecordsNothingButMovesAndMeasures) {
  HandlerFixture f(DefaultSettings(), true);
  f.Run("IN");
  f.RunAll("PA1000,0;PD;AA0,0,45;CI50;BR0,10,10,10,10,0");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.xPen, 717);
  EXPECT_EQ(f.ps.yPen, 707);
  EXPECT_EQ(f.ps.xMax, 1000);
  EXPECT_EQ(f.ps.yMax, 1000);
  EXPECT_EQ(f.ps.xMin, 657);
  EXPECT_EQ(f.ps.yMin, 657);
}

}  // namespace
}  // namespace tsl::test
