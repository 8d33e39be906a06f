// SD, SS/SA and CS/CA, and the font NewFont builds.
#include <gtest/gtest.h>

#include <string>

#include "labels/label_test_support.h"

namespace tsl {
namespace {

using test::HandlerFixture;
using test::InitFresh;

struct Fonts : ::testing::Test {
  HandlerFixture f;
  PlotterState& ps = f.ps;
  void SetUp() override { InitFresh(f); }
  const gdi::LogFont& Font() const { return f.settings.Font; }
};

TEST_F(Fonts, StrokeWeightMapsToFontWeight) {
  // The medium weight 0 is the weight IN starts with, drawn regular; 3 is
  // as near bold as regular, 7 the boldest, -7 the thinnest.
  const struct {
    const char* command;
    int weight;
  } cases[] = {{"SD6,3", 671}, {"SD6,0", 500}, {"SD6,-7", 100}, {"SD6,7", 900},
               {"SD6,9999", 500}, {"SD6,-30", 100}};
  for (const auto& c : cases) {
    f.Run(c.command);
    EXPECT_EQ(Font().lfWeight, c.weight) << c.command;
  }
  EXPECT_EQ(ps.nExecuted, 6);
  EXPECT_NE(f.device.Joined().find("SelectObject font(-220,89,0,0,671,0,Courier New)"),
            std::string::npos);
  // A size given again keeps the normal weight: no bold labels after SI.
  HandlerFixture g;
  InitFresh(g);
  g.Run("SI0.2,0.3");
  EXPECT_EQ(g.settings.Font.lfWeight, 500);
}

TEST_F(Fonts, PostureSetsItalicAndResetsTheSizeOfTheCurrentMode) {
  f.Run("SI0.5,0.8");
  f.Run("SD5,1");
  EXPECT_TRUE(ps.bMode & ITALIC);
  EXPECT_EQ(Font().lfItalic, 0xFF);
  EXPECT_EQ(ps.cxChar, 75);
  EXPECT_EQ(ps.cyChar, 107);
  f.Run("SD5,2");
  EXPECT_FALSE(ps.bMode & ITALIC);
  EXPECT_EQ(Font().lfItalic, 0);

  // After SR the default is relative to P1-P2 (11880 x 8400 after IN).
  f.Run("SR3,3");
  f.Run("SD5,3");
  EXPECT_EQ(ps.cxChar, 89);
  EXPECT_EQ(ps.cyChar, 126);
}

TEST_F(Fonts, OtherKindsAreReportedPairByPairAndIgnoredOnce) {
  f.Run("SD1,21,2,1,4,12");
  EXPECT_EQ(f.logText,
            "'Define Standard Font (SD) option 1' command(s) not implemented: 'SD1,21' at offset 0x0\r\n"
            "'Define Standard Font (SD) option 2' command(s) not implemented: 'SD2,1' at offset 0x0\r\n"
            "'Define Standard Font (SD) option 4' command(s) not implemented: 'SD4,12' at offset 0x0\r\n");
  EXPECT_EQ(ps.nIgnored, 1);
  EXPECT_EQ(ps.nExecuted, 0);
  EXPECT_TRUE(f.device.calls.empty());

  f.ClearRecords();
  f.Run("SD");
  EXPECT_EQ(ps.nIgnored, 2);
  EXPECT_TRUE(f.logText.empty());
}

TEST_F(Fonts, Roman8IsTakenWithoutTouchingTheFont) {
  f.Run("SD1,277");
  EXPECT_EQ(ps.nSymbolSet, 277);
  EXPECT_EQ(ps.nExecuted, 1);
  EXPECT_EQ(ps.nIgnored, 0);
  EXPECT_TRUE(f.logText.empty()) << f.logText;
  EXPECT_TRUE(f.device.calls.empty());
  // With a posture the font is made again, as before.
  f.Run("SD1,277,5,1");
  EXPECT_EQ(Font().lfItalic, 0xFF);
  EXPECT_EQ(ps.nExecuted, 2);
  // Any other set: bytes as they are, and the set reported.
  f.ClearRecords();
  f.Run("SD1,14");
  EXPECT_EQ(ps.nSymbolSet, 0);
  EXPECT_EQ(ps.nIgnored, 1);
  EXPECT_NE(f.logText.find("option 1' command(s) not implemented: 'SD1,14'"), std::string::npos) << f.logText;
}

TEST_F(Fonts, OddCountIsAnErrorButTheWholePairsApply) {
  f.Run("SD5,1,6");
  EXPECT_EQ(f.logText, "Error: Expecting an even number of parameters: 'SD5,1,6' at offset 0x0\r\n");
  EXPECT_TRUE(ps.bMode & ITALIC);
  EXPECT_EQ(ps.nStrokeWeight, 0);
  EXPECT_EQ(ps.nErrors, 1);
  EXPECT_EQ(ps.nExecuted, 1);
}

TEST_F(Fonts, CharacterSetCommandsReportAllButTheStandardSet) {
  for (const char* ok : {"SS", "CS", "CS0", "CA0"}) f.Run(ok);
  EXPECT_EQ(ps.nExecuted, 4);
  EXPECT_TRUE(f.logText.empty());
  f.Run("SA");
  f.Run("CS8");
  f.Run("CA5");
  EXPECT_EQ(ps.nIgnored, 3);
  EXPECT_EQ(f.logText,
            "'Alternate Character Set' command(s) not implemented: 'SA' at offset 0x0\r\n"
            "'Select Character Set (other than ANSI ASCII)' command(s) not implemented: 'CS8' at offset 0x0\r\n"
            "'Select Character Set (other than ANSI ASCII)' command(s) not implemented: 'CA5' at offset 0x0\r\n");

  SettingsSet s = DefaultSettings();
  s.Set(NoNOPWarnings, true);
  HandlerFixture quiet(s);
  InitFresh(quiet);
  quiet.RunAll("SA;CS8;SD1,2");
  EXPECT_EQ(quiet.ps.nIgnored, 3);
  EXPECT_TRUE(quiet.logText.empty());
}

TEST(FontScale, SizesAreScaledIntoTheFontButNotTheState) {
  SettingsSet s = DefaultSettings();
  s.ScalePercent = 50;
  HandlerFixture f(s);
  InitFresh(f);
  f.Run("SI0.5,0.75");
  EXPECT_EQ(f.ps.cxChar, 200);
  EXPECT_EQ(f.ps.cyChar, 300);
  EXPECT_EQ(f.settings.Font.lfWidth, 100);
  // Capitals 150 units high: Courier New's are 0.571 of its em.
  EXPECT_EQ(f.settings.Font.lfHeight, -262);
}

TEST(MeasureOnly, SizeAndDirectionStillChangeWithoutAnyFont) {
  HandlerFixture f(DefaultSettings(), true);
  InitFresh(f);
  size_t objects = f.objects.LiveCount();
  f.RunAll("SI0.5,0.8;DI0,1;SD5,1");
  EXPECT_EQ(f.ps.cxChar, 75);  // SD put back the default of SI
  EXPECT_EQ(f.ps.nLabelAngle, 2700);
  EXPECT_EQ(f.objects.LiveCount(), objects);
  EXPECT_EQ(f.ps.nExecuted, 3);
}

}  // namespace
}  // namespace tsl
