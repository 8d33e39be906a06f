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
  // Solid types keep plain pens; dashed ones are geometric pens whose
  // dashes are HP-GL/2's pattern of the type, 4 per cent of the A4 P1-P2
  // diagonal (14550 units) long unless LT gives a length.
  const std::string ext = "extpen(0x10007,12,#000000,";
  const struct {
    const char* cmd;
    int style;
    std::string pen;
  } cases[] = {{"LT", 0, "pen(0,12,#000000)"},
               {"LT99", 0, "pen(0,12,#000000)"},
               {"LT-99", 0, "pen(0,12,#000000)"},
               {"LT0", 6, "pen(6,12,#000000)"},
               {"LT-0.5", 6, "pen(6,12,#000000)"},
               {"LT1", 2, ext + "1 582)"},
               {"LT-1", 2, ext + "1 582)"},
               {"LT2", 1, ext + "291 291)"},
               {"LT3", 1, ext + "407 175)"},
               {"LT-3", 1, ext + "407 175)"},
               {"LT4", 3, ext + "466 58 1 58)"},
               {"LT4.9", 3, ext + "466 58 1 58)"},
               {"LT5", 3, ext + "407 58 58 58)"},
               {"LT6", 4, ext + "291 58 58 58 58 58)"},
               {"LT7", 4, ext + "407 58 1 58 1 58)"},
               {"LT-8", 4, ext + "291 58 1 58 58 58 1 58)"},
               {"LT2,2", 1, ext + "145 145)"},
               {"LT2,5,1", 1, ext + "100 100)"}};
  for (const auto& c : cases) {
    HandlerFixture f;
    Start(f);
    f.Run("LT6");  // something else first, so that every case must change it
    f.ClearRecords();
    f.Run(c.cmd);
    EXPECT_EQ(f.ps.iLineType, c.style) << c.cmd;
    // The pen is made again at once with the new style.
    ASSERT_FALSE(f.device.calls.empty()) << c.cmd;
    EXPECT_EQ(f.device.calls[0], "SelectObject " + c.pen) << c.cmd;
    EXPECT_EQ(f.ps.nExecuted, 2) << c.cmd;
    EXPECT_EQ(f.ps.nErrors, 0) << c.cmd;
  }
}

// The last object selected, as the call log describes it.
std::string LastSelected(const CallLogDevice& d) {
  for (auto it = d.calls.rbegin(); it != d.calls.rend(); ++it)
    if (it->rfind("SelectObject ", 0) == 0) return *it;
  return "";
}

TEST(LineType, DashesFollowThePatternLengthAndTheScale) {
  // The length lasts until another is given; DF puts back 4 per cent.
  SettingsSet half = DefaultSettings();
  half.ScalePercent = 50;
  HandlerFixture f(half);
  Start(f);
  f.RunAll("LT2,1;LT3");
  EXPECT_EQ(LastSelected(f.device), "SelectObject extpen(0x10007,6,#000000,51 22)");
  f.RunAll("DF;LT2");
  EXPECT_EQ(LastSelected(f.device), "SelectObject extpen(0x10007,6,#000000,145 145)");
  // A pen thinner than a unit is a unit wide: a geometric pen needs one.
  f.RunAll("PT0");
  EXPECT_EQ(LastSelected(f.device), "SelectObject extpen(0x10007,1,#000000,145 145)");
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
    EXPECT_EQ(f.device.calls[0], "SelectObject extpen(0x10007,12,#000000,466 58 1 58)") << cmd;
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
  EXPECT_EQ(f.device.calls[f.device.calls.size() - 2], "SelectObject extpen(0x10007,20,#00ff00,291 291)");
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
