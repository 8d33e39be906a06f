#include <gtest/gtest.h>

#include <string>

#include "support/handler_fixture.h"
#include "drawing/curves_test_util.h"

namespace tsl::test {
namespace {

TEST(PolygonMode, FilledPolygonRecordOrder) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PM0;PD;PA100,0,100,100;PM2");
  // The polygon is kept, not drawn, until FP or EP.
  EXPECT_TRUE(f.device.calls.empty());
  f.Run("FP");
  EXPECT_EQ(f.device.Joined("|"),
            "SetPolyFillMode 1|SelectObject brush(0,#000000,0)|BeginPath|MoveToEx 0,0|"
            "PolylineTo (0,0) (100,0) (100,100)|EndPath|FillPath|SelectObject stock(0)");
  EXPECT_EQ(f.ps.nExecuted, 6);
}

TEST(PolygonMode, SubpolygonsAndInvalidModes) {
  HandlerFixture f;
  f.Init();
  // Outside polygon mode PM1 has no subpolygon to close.
  f.RunAll("PA50,60;PM1");
  EXPECT_EQ(f.device.Joined("|"), "MoveToEx 50,60");
  f.ClearRecords();
  f.RunAll("PM5;PM-1;PM3");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.nIgnored, 3);
  EXPECT_TRUE(f.logText.empty());

  HandlerFixture m(DefaultSettings(), true);
  m.Run("IN");
  m.RunAll("PM0;PD;PA10,10;PM2;FP;EP");
  EXPECT_TRUE(m.device.calls.empty());
  EXPECT_EQ(m.ps.nExecuted, 7);
  EXPECT_EQ(m.ps.xPen, 10);
}

TEST(PolygonMode, FillModesAndEdge) {
  HandlerFixture f;
  f.Init();
  f.RunAll("PM0;PD;PA100,0;PM2");
  for (const char* cmd : {"FP1", "FP", "FP0", "FP2"}) f.Run(cmd);
  std::vector<std::string> modes = CallsStarting(f.device.calls, "SetPolyFillMode");
  ASSERT_EQ(modes.size(), 4u);
  EXPECT_EQ(modes[0], "SetPolyFillMode 2");
  EXPECT_EQ(modes[1], "SetPolyFillMode 1");
  EXPECT_EQ(modes[2], "SetPolyFillMode 1");
  EXPECT_EQ(modes[3], "SetPolyFillMode 2");
  f.ClearRecords();
  f.Run("EP5");
  EXPECT_EQ(f.device.Joined("|"), "MoveToEx 0,0|PolylineTo (100,0)|SetPixel 100,0 #000000");
  // Without a polygon neither draws.
  HandlerFixture g;
  g.Init();
  g.RunAll("FP;EP");
  EXPECT_TRUE(g.device.calls.empty());
  EXPECT_EQ(g.ps.nExecuted, 3);
}

TEST(FillType, BrushesFollowTheType) {
  struct Case {
    const char* cmd;
    const char* brush;
    int errors;
  } cases[] = {
      {"FT3", "brush(2,#000000,0)", 0},    {"FT3,10,45", "brush(2,#000000,0)", 0},
      {"FT4", "brush(2,#000000,5)", 0},    {"FT1", "brush(0,#000000,0)", 0},
      {"FT0", "brush(0,#000000,0)", 0},    {"FT", "brush(0,#000000,0)", 0},
      {"FT10", "brush(0,#000000,0)", 0},   {"FT10,50", "brush(0,#808080,0)", 0},
      {"FT11", "brush(0,#000000,0)", 1},   {"FT-1", "brush(0,#000000,0)", 1},
      {"FT3" "0000000000000", "brush(0,#000000,0)", 1},
  };
  for (const Case& c : cases) {
    HandlerFixture f;
    f.Init();
    f.RunAll(std::string(c.cmd) + ";RA100,100");
    std::vector<std::string> fills = CallsStarting(f.device.calls, "FillRect");
    ASSERT_EQ(fills.size(), 1u) << c.cmd;
    EXPECT_EQ(fills[0], std::string("FillRect 0,0,100,100 ") + c.brush) << c.cmd;
    EXPECT_EQ(f.ps.nErrors, c.errors) << c.cmd;
    EXPECT_EQ(f.ps.nExecuted, 2 - c.errors + 1) << c.cmd;
  }
  HandlerFixture f;
  f.Init();
  f.Run("FT11");
  EXPECT_EQ(f.logText, "Error: Expecting a value between 1 .. 4: 'FT11' at offset 0x0\r\n");
  EXPECT_EQ(f.ps.iFillType, 0);
  f.Run("FT");
  EXPECT_EQ(f.ps.iFillType, 1);
}

TEST(FillType, OldBrushIsDeletedNotLeaked) {
  HandlerFixture f;
  f.Init();
  size_t live = f.objects.LiveCount();
  for (int i = 0; i < 20; ++i) f.Run(i % 2 ? "FT3" : "FT4");
  EXPECT_EQ(f.objects.LiveCount(), live);
  EXPECT_EQ(CallsStarting(f.device.calls, "DeleteObject brush").size(), 20u);

  HandlerFixture m(DefaultSettings(), true);
  m.Run("IN");
  live = m.objects.LiveCount();
  m.RunAll("FT3;FT4;FT");
  EXPECT_EQ(m.objects.LiveCount(), live);
  EXPECT_NE(m.ps.hbrFill, 0u);
}

TEST(Rectangle, FilledAtTheOrigin) {
  HandlerFixture f;
  f.Init();
  f.Run("RA100,100");
  EXPECT_EQ(f.device.Joined("|"),
            "FillRect 0,0,100,100 brush(0,#000000,0)|Rectangle 0,0,100,100");
  EXPECT_EQ(f.ps.xPen, 0);
  EXPECT_EQ(f.ps.yPen, 0);
  EXPECT_EQ(f.ps.xMin, 0);  // from the pen's corner
  EXPECT_EQ(f.ps.yMin, 0);
  EXPECT_EQ(f.ps.xMax, 100);
  EXPECT_EQ(f.ps.yMax, 100);
}

TEST(Rectangle, EveryFormGrowsTheExtentsByBothCorners) {
  // A title block after a pen-up move: nothing else drawn, so only the
  // rectangle's own corners can place it inside the frame.
  for (const char* rect : {"RA200,200", "EA200,200", "RR-300,-200", "ER-300,-200"}) {
    HandlerFixture f;
    f.Init();
    f.RunAll("PU500,400");
    f.Run(rect);
    EXPECT_EQ(f.ps.xMin, 200) << rect;
    EXPECT_EQ(f.ps.yMin, 200) << rect;
    EXPECT_EQ(f.ps.xMax, 500) << rect;
    EXPECT_EQ(f.ps.yMax, 400) << rect;
  }
}

TEST(Rectangle, RelativeFormsAndScaledCorners) {
  SettingsSet s = DefaultSettings();
  s.ScalePercent = 50;
  HandlerFixture f(s);
  f.Init();
  f.Run("PA200,100");
  f.ClearRecords();
  f.RunAll("ER50,-50;EA0,0;RR-10,10");
  EXPECT_EQ(f.device.Joined("|"),
            "Rectangle 100,50,125,25|Rectangle 100,50,0,0|"
            "FillRect 100,50,95,55 brush(0,#000000,0)|Rectangle 100,50,95,55");
  EXPECT_FALSE(f.ps.bMode & RELATIVE);
  f.RunAll("PR;EA0,0");
  EXPECT_TRUE(f.ps.bMode & RELATIVE);
  EXPECT_EQ(f.device.calls.back(), "Rectangle 100,50,0,0");
}

TEST(Rectangle, WrongParameterCount) {
  HandlerFixture f;
  f.Init();
  f.RunAll("ER5;RA1,2,3");
  EXPECT_EQ(f.logText,
            "Error: Expecting 2 parameters: 'ER5' at offset 0x0\r\n"
            "Warning: Expecting at most 2 parameters: 'RA1,2,3' at offset 0x0\r\n");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_EQ(f.device.calls.size(), 2u);  // RA went on with its first two
}

TEST(AnchorCorner, UnscaledPenUnits) {
  SettingsSet s = DefaultSettings();
  s.ScalePercent = 50;
  HandlerFixture f(s);
  f.Init();
  f.RunAll("AC;AC100,200;AC1;AC1,2,3");
  EXPECT_EQ(f.device.Joined("|"), "SetBrushOrgEx 0,0|SetBrushOrgEx 100,200|SetBrushOrgEx 1,2");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_NE(f.logText.find("Error: Expecting 2 parameters: 'AC1' at offset 0x0"), std::string::npos);
}

}  // namespace
}  // namespace tsl::test
