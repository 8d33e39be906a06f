#include <gtest/gtest.h>

#include "support/handler_fixture.h"

namespace tsl {
namespace {

using test::HandlerFixture;

TEST(Coordinates, InitialiseOnA4) {
  HandlerFixture f;
  f.Run("IN");
  EXPECT_EQ(f.ps.xP2, 11880);
  EXPECT_EQ(f.ps.yP2, 8400);
  EXPECT_EQ(f.ps.cxChar, 89);
  EXPECT_EQ(f.ps.cyChar, 126);
  EXPECT_EQ(f.ps.nPens, 16);
  EXPECT_EQ(f.ps.xMin, 11880);  // an empty extent
  EXPECT_EQ(f.ps.xMax, -11880);
  EXPECT_EQ(f.ps.nExecuted, 1);
  EXPECT_NE(f.device.Joined().find("SetTextAlign 30"), std::string::npos);
  EXPECT_NE(f.device.Joined().find("SetBkMode 1"), std::string::npos);
  EXPECT_NE(f.device.Joined().find("SelectObject font(-220,89,0,0,500,0,Courier New)"), std::string::npos);
}

TEST(Coordinates, LargePagesHalveTheScaleOnce) {
  SettingsSet s = DefaultSettings();
  s.PageWidth = 1189;
  s.PageHeight = 841;
  HandlerFixture f(s);
  f.Run("IN");
  EXPECT_EQ(f.ps.xP2, 23780);
  EXPECT_EQ(f.ps.yP2, 16820);
  EXPECT_FLOAT_EQ(f.settings.ScalePercent, 50.0f);
  f.Run("IN");
  EXPECT_FLOAT_EQ(f.settings.ScalePercent, 50.0f);
}

TEST(Coordinates, ScalingPoints) {
  HandlerFixture f;
  f.Init();
  f.Run("IP100,100");
  EXPECT_EQ(f.ps.xP1, 100);
  EXPECT_EQ(f.ps.xP2, 11980);
  EXPECT_EQ(f.ps.yP2, 8500);
  f.Run("IR10,20");
  EXPECT_EQ(f.ps.xP1, 1188);
  EXPECT_EQ(f.ps.yP1, 1680);
  EXPECT_EQ(f.ps.dxP1P2, 11880);  // P2 moved with P1
  f.Run("IP1,2,3");
  EXPECT_EQ(f.ps.nErrors, 1);
  EXPECT_NE(f.logText.find("Error: Expecting 2 or 4 parameters: 'IP1,2,3' at offset 0x0"), std::string::npos);
  f.Run("IP");
  EXPECT_EQ(f.ps.xP1, 0);
  EXPECT_EQ(f.ps.xP2, 11880);

  SettingsSet n = DefaultSettings();
  n.Set(Normalize, true);
  HandlerFixture g(n);
  g.Init();
  g.Run("IP100,100");
  EXPECT_EQ(g.ps.xP1, 0);
  EXPECT_EQ(g.ps.yP1, 0);
  EXPECT_EQ(g.ps.xP2, 11880);
  EXPECT_EQ(g.ps.yP2, 8400);
}

TEST(Coordinates, UserScalingInEitherDirection) {
  for (const char* sc : {"SC0,100,0,100", "SC100,0,100,0"}) {
    HandlerFixture f;
    f.Init();
    f.Run(sc);
    f.Run("PA50,50");
    EXPECT_EQ(f.ps.xPen, 5940) << sc;
    EXPECT_EQ(f.ps.yPen, 4200) << sc;
  }
  HandlerFixture f;
  f.Init();
  f.RunAll("SC0,10,0,10,2;PA5,5");
  EXPECT_EQ(f.ps.xPen, 5);  // type 2 switches scaling off again
  EXPECT_NE(f.logText.find("Warning: SC (Scale) Types 1 and 2 are not yet fully implemented"), std::string::npos);
}

TEST(Coordinates, AZeroUserRangeNeverDivides) {
  HandlerFixture f;
  f.Init();
  std::string huge(400, '9');
  f.RunAll("SC5,5,0,100;PA" + huge + ",50");
  EXPECT_EQ(f.ps.xPen, 0);  // the collapsed axis stays on P1
  EXPECT_EQ(f.ps.yPen, 4200);
  f.RunAll("SC0,0.000001,0,0.000001;PA" + huge + ",-" + huge);
  EXPECT_EQ(f.ps.xPen, INT32_MAX);
  EXPECT_EQ(f.ps.yPen, INT32_MIN);
}

TEST(Coordinates, Rotation) {
  HandlerFixture f;
  f.Init();
  f.RunAll("RO90;PA100,0");
  EXPECT_EQ(f.ps.xPen, 0);
  EXPECT_EQ(f.ps.yPen, 100);
  f.Run("RO45");
  EXPECT_EQ(f.ps.nRotation, 90);
  f.Run("RO-90");
  EXPECT_EQ(f.ps.nRotation, 270);
  f.Run("RO44");
  EXPECT_EQ(f.ps.nRotation, 0);
  f.Run("RO");
  EXPECT_EQ(f.ps.nRotation, 0);
}

TEST(Coordinates, PageSize) {
  HandlerFixture f;
  f.Init();
  f.Run("PS4");
  EXPECT_EQ(f.ps.xPage, 11880);
  EXPECT_EQ(f.ps.yPage, 8400);
  f.Run("PS0");
  EXPECT_EQ(f.ps.xPage, 47520);
  f.Run("PS20000,10000");
  EXPECT_EQ(f.ps.xPage, 20000);
  EXPECT_EQ(f.ps.rcWindow.right, 20000);
  f.Run("PS-1");
  EXPECT_EQ(f.ps.nIgnored, 1);
  EXPECT_NE(f.logText.find("Error: Expecting 2 parameters: 'PS-1' at offset 0x0"), std::string::npos);
  f.Run("PS100,0");
  EXPECT_EQ(f.ps.nIgnored, 2);
  EXPECT_NE(f.logText.find("Error: Expecting 2 *positive* parameters: 'PS100,0'"), std::string::npos);
  EXPECT_EQ(f.ps.xPage, 20000);
}

TEST(Coordinates, WithoutInitialiseDFSetsNoPage) {
  HandlerFixture f;
  f.Run("DF");
  EXPECT_EQ(f.ps.xPage, 0);
  EXPECT_EQ(f.ps.xP2, 0);
  HandlerFixture g;
  g.Run("BP");
  EXPECT_EQ(g.ps.nExecuted, 1);
  EXPECT_EQ(g.ps.xP2, 11880);
}

TEST(Coordinates, SoftClipWindowClipsAndClampsExtents) {
  HandlerFixture f;
  f.Init();
  f.Run("IW1000,1000,2000,2000");
  EXPECT_NE(f.device.Joined().find("IntersectClipRect 1000,1000,2000,2000"), std::string::npos);
  f.RunAll("PU0,0;PD5000,5000,-100,1500");
  EXPECT_EQ(f.ps.xMax, 2000);
  EXPECT_EQ(f.ps.yMax, 2000);
  EXPECT_EQ(f.ps.xMin, 1000);
  f.Run("IW");
  EXPECT_EQ(f.ps.fWindow, 0);
  f.Run("IW1,2");
  EXPECT_EQ(f.ps.nErrors, 1);
}

}  // namespace
}  // namespace tsl
