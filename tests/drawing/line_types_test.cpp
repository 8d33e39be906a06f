#include <gtest/gtest.h>

#include <string>

#include "support/handler_fixture.h"

namespace tsl::test {
namespace {

// IN, with its records, log and count forgotten.
void Start(HandlerFixture& f) {
  f.Init();
  f.ps.nExecuted = f.ps.nIgnored = f.ps.nErrors = 0;
}

TEST(LineType, StylesByType) {
  const struct {
    const char* cmd;
    int style;
  } cases[] = {{"LT", 0},    {"LT99", 0},  {"LT-99", 0}, {"LT0", 6},  {"LT1", 2},
               {"LT-1", 2},  {"LT2", 1},   {"LT3", 1},   {"LT-3", 1}, {"LT4", 3},
               {"LT5", 3},   {"LT6", 4},   {"LT7", 4},   {"LT-8", 4}, {"LT2,5,1", 1},
               {"LT4.9", 3}, {"LT-0.5", 6}};
  for (const auto& c : cases) {
    HandlerFixture f;
    Start(f);
    f.Run("LT5");  // something else first, so that every case must change it
    f.ClearRecords();
    f.Run(c.cmd);
    EXPECT_EQ(f.ps.iLineType, c.style) << c.cmd;
    // The pen is made again at once with the new style.
    ASSERT_FALSE(f.device.calls.empty()) << c.cmd;
    EXPECT_EQ(f.device.calls[0], "SelectObject pen(" + std::to_string(c.style) + ",12,#000000)")
        << c.cmd;
    EXPECT_EQ(f.ps.nExecuted, 2) << c.cmd;
    EXPECT_EQ(f.ps.nErrors, 0) << c.cmd;
  }
}

TEST(LineType, UnknownTypeKeepsStyleButRemakesPen) {
  for (const char* cmd : {"LT10", "LT-9", "LT98", "LT100", "LT-2147483648", "LT99999999999"}) {
    HandlerFixture f;
    Start(f);
    f.Run("LT4");
    f.ClearRecords();
    f.Run(cmd);
    EXPECT_NE(f.logText.find(std::string("Error: Expecting a value between -8 and 8: '") + cmd +
                             "' at offset 0x"),
              std::string::npos)
        << cmd;
    EXPECT_EQ(f.ps.iLineType, 3) << cmd;
    EXPECT_EQ(f.ps.nErrors, 1) << cmd;
    EXPECT_EQ(f.ps.nExecuted, 2) << cmd;
    ASSERT_FALSE(f.device.calls.empty()) << cmd;
    EXPECT_EQ(f.device.calls[0], "SelectObject pen(3,12,#000000)") << cmd;
  }
}

TEST(LineType, IgnoredBySetting) {
  SettingsSet s = DefaultSettings();
  s.Set(IgnoreLT, true);
  HandlerFixture f(s);
  Start(f);
  f.Run("LT2");
  EXPECT_EQ(f.ps.iLineType, 0);
  EXPECT_EQ(f.ps.nIgnored, 1);
  EXPECT_EQ(f.ps.nExecuted, 0);
  EXPECT_TRUE(f.device.calls.empty());
  EXPECT_TRUE(f.logText.empty());
}

TEST(LineType, StyleReachesEveryLaterPen) {
  HandlerFixture f;
  Start(f);
  f.RunAll("LT2;SP3;PT0.5");
  EXPECT_EQ(f.device.calls[f.device.calls.size() - 2], "SelectObject pen(1,20,#00ff00)");
  f.Run("IN");
  f.ClearRecords();
  f.Run("SP3");
  ASSERT_FALSE(f.device.calls.empty());
  EXPECT_EQ(f.device.calls[0], "SelectObject pen(0,12,#00ff00)");
}

TEST(LineType, TypeZeroDrawsDots) {
  HandlerFixture f;
  Start(f);
  f.Run("LT0");
  f.ClearRecords();
  f.Run("PD100,0");
  // A one-unit stroke at the start, then the dot at the end; no line between.
  EXPECT_EQ(f.device.Joined(), "LineTo 1,0\nMoveToEx 100,0\nLineTo 99,0\nMoveToEx 100,0");
}

}  // namespace
}  // namespace tsl::test
