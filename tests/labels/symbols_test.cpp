// Symbol mode through PA, the OEM conversion of SM, and tick marks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "labels/label_test_support.h"

namespace tsl {
namespace {

using test::HandlerFixture;
using test::InitFresh;

TEST(SymbolMode, DrawsTheSymbolAtEveryPointAndLeavesThePenThere) {
  HandlerFixture f;
  InitFresh(f);
  f.Run("SM*");
  EXPECT_EQ(f.ps.chSymbol, '*');
  f.ClearRecords();
  f.Run("PA100,100,200,200");
  std::vector<std::string> kept;
  for (const auto& c : f.device.calls)
    if (c.rfind("MoveToEx", 0) == 0 || c.rfind("TextOutA", 0) == 0) kept.push_back(c);
  // Centred on the point: the glyph's middle on x, its baseline half a
  // capital (63 units after IN) below.
  EXPECT_EQ(kept, (std::vector<std::string>{
                      "MoveToEx 100,100", "MoveToEx 56,37", "TextOutA 100,37 \"*\"",
                      "MoveToEx 100,100", "MoveToEx 200,200", "MoveToEx 156,137",
                      "TextOutA 200,137 \"*\"", "MoveToEx 200,200"}));
  f.Run("PR0,0");
  EXPECT_EQ(f.ps.xPen, 200);
  EXPECT_EQ(f.ps.yPen, 200);

  f.Run("SM");
  EXPECT_EQ(f.ps.chSymbol, 0);
  EXPECT_EQ(f.ps.nExecuted, 4);
}

TEST(SymbolMode, OemCharactersAreStoredAsTheirAnsiEquivalent) {
  HandlerFixture f;
  InitFresh(f);
  f.Run("SM\x82");  // e acute in code page 437
  EXPECT_EQ(static_cast<unsigned char>(f.ps.chSymbol), 0xE9);
  f.Run("SM\xC4");  // a horizontal line
  EXPECT_EQ(f.ps.chSymbol, '-');

  SettingsSet s = DefaultSettings();
  s.Set(OEMConvert, false);
  HandlerFixture raw(s);
  InitFresh(raw);
  raw.Run("SM\x82");
  EXPECT_EQ(static_cast<unsigned char>(raw.ps.chSymbol), 0x82);
}

struct Ticks : ::testing::Test {
  HandlerFixture f;
  PlotterState& ps = f.ps;
  explicit Ticks(const SettingsSet& s = DefaultSettings()) : f(s) {}
  void SetUp() override {
    InitFresh(f);
    f.RunAll("IP0,0,10000,8000;PA500,600");
    f.ClearRecords();
    ps.nExecuted = 0;
  }
};

TEST_F(Ticks, HalfOfTheTickLengthLiesOnEachSideOfThePen) {
  // 0.5 % of 8000 (across the x axis) is 40; of 10000 (across y) 50.
  f.Run("XT");
  EXPECT_EQ(f.device.Joined(),
            "MoveToEx 500,580\nLineTo 500,620\nSetPixel 500,620 #000000\nMoveToEx 500,600");
  f.ClearRecords();
  f.RunAll("PD;YT");
  EXPECT_EQ(f.device.Joined(),
            "MoveToEx 475,600\nLineTo 525,600\nSetPixel 525,600 #000000\nMoveToEx 500,600");
  EXPECT_EQ(ps.xPen, 500);
  EXPECT_EQ(ps.yPen, 600);
  EXPECT_EQ(ps.xMin, 475);
  EXPECT_EQ(ps.yMin, 580);
  EXPECT_EQ(ps.yMax, 620);
}

TEST_F(Ticks, TlSetsThePercentageAndIgnoresTheNegativeLength) {
  f.Run("TL2,5");
  EXPECT_DOUBLE_EQ(ps.dTickLen, 2);
  f.Run("XT");
  EXPECT_EQ(f.device.calls[1], "LineTo 500,680");
  f.Run("TL");
  EXPECT_DOUBLE_EQ(ps.dTickLen, 0.5);
  EXPECT_EQ(ps.nExecuted, 3);
}

struct HalfScaleTicks : Ticks {
  static SettingsSet Half() {
    SettingsSet s = DefaultSettings();
    s.ScalePercent = 50;
    return s;
  }
  HalfScaleTicks() : Ticks(Half()) {}
};

TEST_F(HalfScaleTicks, TheDrawingPositionReturnsToWhereItWas) {
  f.Run("PA101,99");
  f.ClearRecords();
  f.Run("XT");
  EXPECT_EQ(f.device.calls.front(), "MoveToEx 50,39");
  EXPECT_EQ(f.device.calls.back(), "MoveToEx 50,49");
  EXPECT_EQ(f.device.GetCurrentPositionEx().x, 50);
  EXPECT_EQ(f.device.GetCurrentPositionEx().y, 49);
}

TEST(TicksMeasureOnly, RecordNothingButGrowTheExtents) {
  HandlerFixture f(DefaultSettings(), true);
  InitFresh(f);
  f.RunAll("PA500,600;XT");
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_EQ(f.ps.yMin, 600 - 21);  // 0.5 % of 8400 / 2
  EXPECT_EQ(f.ps.yMax, 600 + 21);
}

}  // namespace
}  // namespace tsl
