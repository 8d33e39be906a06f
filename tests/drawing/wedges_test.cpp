#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "support/handler_fixture.h"
#include "drawing/curves_test_util.h"

namespace tsl::test {
namespace {

SettingsSet Compat(bool on) {
  SettingsSet s = DefaultSettings();
  s.Set(CompatibilityMode, on);
  return s;
}

TEST(Wedge, EdgeInChords) {
  HandlerFixture f;
  f.Init();
  f.Run("EW100,0,90");
  ASSERT_EQ(f.device.calls.size(), 3u) << f.device.Joined();
  EXPECT_EQ(f.device.calls[0], "MoveToEx 0,0");
  std::vector<gdi::Point> pts = PointsOf(f.device.calls[1]);
  ASSERT_EQ(pts.size(), 21u);  // centre, 0..85 degrees, the end, centre
  EXPECT_EQ(pts[0].x, 0);
  EXPECT_EQ(pts[1].x, 100);
  EXPECT_EQ(pts[2].x, 99);
  EXPECT_EQ(pts[2].y, 8);
  EXPECT_EQ(pts[19].x, 0);
  EXPECT_EQ(pts[19].y, 100);
  EXPECT_EQ(pts[20].y, 0);
  EXPECT_EQ(f.device.calls[2], "SetPixel 0,0 #000000");

  f.ClearRecords();
  f.Run("EW100,0,90,45");
  EXPECT_EQ(f.device.calls[1], "PolylineTo (0,0) (100,0) (70,70) (0,100) (0,0)");
}

TEST(Wedge, FillBelowTheAxisInChords) {
  HandlerFixture f;
  f.Init();
  f.Run("WG100,0,-90");
  ASSERT_EQ(f.device.calls.size(), 5u) << f.device.Joined();
  EXPECT_EQ(f.device.calls[0], "SetPolyFillMode 2");
  EXPECT_EQ(f.device.calls[1], "SelectObject brush(0,#000000,0)");
  std::vector<gdi::Point> pts = PointsOf(f.device.calls[2]);
  ASSERT_EQ(f.device.calls[2].rfind("Polygon", 0), 0u);
  ASSERT_EQ(pts.size(), 21u);
  for (const gdi::Point& p : pts) {
    EXPECT_LE(p.y, 0);
    EXPECT_GE(p.x, 0);
  }
  EXPECT_EQ(pts[19].y, -100);
  EXPECT_EQ(f.device.calls[3], "SelectObject stock(0)");
  EXPECT_EQ(f.device.calls[4], "SetPolyFillMode 1");
}

TEST(Wedge, FillPutsBackTheFillModeOfFP) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PM0;PD0,100;PM2;FP1;WG100,0,45");
  std::vector<std::string> modes = CallsStarting(f.device.calls, "SetPolyFillMode");
  ASSERT_EQ(modes.size(), 3u);
  EXPECT_EQ(modes[2], "SetPolyFillMode 2");
}

TEST(Wedge, GdiForms) {
  HandlerFixture f(Compat(false));
  f.Init();
  f.Run("EW100,0,90");
  EXPECT_EQ(f.device.Joined("|"),
            "SetArcDirection 1|LineTo 100,0|SetPixel 100,0 #000000|"
            "ArcTo -100,100,100,-100 100,0 0,100|LineTo 0,0|SetPixel 0,0 #000000");
  f.ClearRecords();
  f.Run("WG100,0,-90");
  EXPECT_EQ(f.device.Joined("|"),
            "SetArcDirection 2|SelectObject brush(0,#000000,0)|"
            "Pie -100,100,100,-100 100,0 0,-100|SelectObject stock(0)");
}

TEST(Wedge, ZeroSweepIsNotAWholeCircle) {
  HandlerFixture f(Compat(false));
  f.Init();
  f.Run("WG100,30,0");
  EXPECT_EQ(f.device.Joined("|"), "SetArcDirection 2");
  f.ClearRecords();
  f.Run("EW100,0,0");
  EXPECT_EQ(f.device.Joined("|"),
            "SetArcDirection 2|LineTo 100,0|SetPixel 100,0 #000000|LineTo 0,0|SetPixel 0,0 #000000");
  f.ClearRecords();
  f.Run("WG100,0,360");
  EXPECT_EQ(CallsStarting(f.device.calls, "Pie").size(), 1u);
}

TEST(Wedge, DrawnWithThePenUpOrDownAndThePenStays) {
  for (const char* pen : {"PU", "PD"}) {
    HandlerFixture f;
    f.Init();
    f.RunAll("PA300,400;" + std::string(pen) + ";WG100,100,100");
    EXPECT_EQ(CallsStarting(f.device.calls, "Polygon").size(), 1u) << pen;
    EXPECT_EQ(f.ps.xPen, 300);
    EXPECT_EQ(f.ps.yPen, 400);
    // 100 degrees: the corner of the second quadrant; 200: the third.
    EXPECT_EQ(f.ps.xMax, 200);
    EXPECT_EQ(f.ps.xMin, 200);
    EXPECT_EQ(f.ps.yMin, 300);
    EXPECT_EQ(f.ps.yMax, 500);
  }
}

TEST(Wedge, RadiusIsALengthInUserUnits) {
  HandlerFixture f(Compat(false));
  f.Init();
  f.RunAll("SC-50,50,-50,50;PA0,0");
  f.ClearRecords();
  f.Run("WG10,0,45");
  std::vector<std::string> pie = CallsStarting(f.device.calls, "Pie");
  ASSERT_EQ(pie.size(), 1u);
  // Centre at P1 + 50 user units (5940, 4200); radius 11880 x 10 / 100.
  EXPECT_EQ(pie[0], "Pie 4752,5388,7128,3012 7128,4200 6780,5040");

  HandlerFixture g(Compat(false));
  g.Init();
  g.RunAll("RO90;WG10,0,45");
  EXPECT_EQ(CallsStarting(g.device.calls, "Pie").at(0), "Pie -10,10,10,-10 10,0 7,7");
}

TEST(Wedge, NegativeRadiusTurnsTheWedgeRound) {
  HandlerFixture f;
  f.Init();
  f.Run("EW-100,0,90,45");
  EXPECT_EQ(f.device.calls[1], "PolylineTo (0,0) (-100,0) (-70,-70) (0,-100) (0,0)");
  EXPECT_EQ(f.ps.xMin, -100);
  EXPECT_EQ(f.ps.yMin, -100);
}

TEST(Wedge, ErrorsAndHostileValues) {
  HandlerFixture f;
  f.Init();
  f.Run("EW100,0");
  EXPECT_EQ(f.logText, "Error: Expecting 3 or 4 parameters: 'EW100,0' at offset 0x0\r\n");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_TRUE(f.device.calls.empty());

  std::string huge(400, '9');
  for (bool compat : {true, false}) {
    HandlerFixture g(Compat(compat));
    g.Init();
    g.Run("WG" + huge + "," + huge + ",1000000000,0");
    g.Run("EW-" + huge + ",-" + huge + ",-" + huge);
    g.Run("EW5,1" + std::string(300, '0') + ",1" + std::string(300, '0'));
    for (const std::string& c : g.device.calls) EXPECT_LE(PointsOf(c).size(), 1500u);
    EXPECT_EQ(g.ps.nExecuted, 4);
    EXPECT_EQ(g.ps.xMax, INT32_MAX);
  }
}

TEST(Wedge, MeasureOnlyMeasures) {
  HandlerFixture f(DefaultSettings(), true);
  f.Run("IN");
  f.RunAll("PA300,400;EW100,100,100;WG50,10,20");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.xMin, 200);
  EXPECT_EQ(f.ps.yMax, 500);
  EXPECT_EQ(f.ps.nExecuted, 4);
}

}  // namespace
}  // namespace tsl::test
