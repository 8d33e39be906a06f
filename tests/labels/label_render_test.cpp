// LB through PlotChars: placement, control characters, both glyph kinds,
// the label pen; and UC.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "labels/label_test_support.h"

namespace tsl {
namespace {

using test::HandlerFixture;
using test::InitFresh;

std::vector<std::string> Matching(const std::vector<std::string>& calls, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}

// SI0.4,0.8: a grid unit is 30 plotter units across (a cell of 8 units is
// 1.5 character widths) and 40 up (16 units are two character heights).
struct Labels : ::testing::Test {
  HandlerFixture f;
  PlotterState& ps = f.ps;
  explicit Labels(const SettingsSet& s = DefaultSettings()) : f(s) {}
  void SetUp() override {
    InitFresh(f);
    f.RunAll("SI0.4,0.8;PA1000,1000");
    f.ClearRecords();
    ps.nExecuted = 0;
  }
  std::vector<std::string> Texts() const { return Matching(f.device.calls, "TextOutA"); }
};

TEST_F(Labels, EachCharacterIsOneTextOutOnTheBaselineAndThePenAdvancesOneCell) {
  // Centred on its first character width (8/3 units, 80 plotter units), the
  // baseline through the pen.
  f.Run("LBAB");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"TextOutA 1080,1000 \"A\"",
                                               "TextOutA 1320,1000 \"B\""}));
  EXPECT_EQ(ps.xPen, 1000 + 2 * 240);
  EXPECT_EQ(ps.yPen, 1000);
  EXPECT_EQ(ps.xLabelStart, 1000);
  EXPECT_EQ(ps.yLabelStart, 1000);
  // The extents reach the pen after each cell and the cell's top.
  EXPECT_EQ(ps.xMax, 1480);
  EXPECT_EQ(ps.yMax, 1000 + 16 * 40);
  EXPECT_EQ(ps.nExecuted, 1);
  f.Run("LB");
  EXPECT_EQ(ps.nIgnored, 1);
}

TEST_F(Labels, TheLabelPenIsSolidAndThinUnlessTheStrokeWeightIsBold) {
  f.Run("LBA");
  ASSERT_FALSE(f.device.calls.empty());
  EXPECT_EQ(f.device.calls[1], "SelectObject pen(0,1,#000000)");
  EXPECT_EQ(ps.nWidthOverride, 0);
  EXPECT_EQ(ps.iLineType, 0);
  f.Run("SD6,4");
  f.ClearRecords();
  f.Run("LBA");
  EXPECT_EQ(f.device.calls[1], "SelectObject pen(0,3,#000000)");
}

TEST_F(Labels, OriginsPlaceEachLine) {
  // LO4 centres each line on the origin: the first of two characters, the
  // second of three; the carriage-return point is the origin itself.
  f.Run("LO4");
  f.Run("LBAB\r\nCDE");
  std::vector<std::string> texts = Texts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0], "TextOutA 840,1000 \"A\"");
  EXPECT_EQ(texts[2], "TextOutA 720,360 \"C\"");
  EXPECT_EQ(ps.xLabelStart, 1000);
  EXPECT_EQ(ps.yLabelStart, 1000 - 16 * 40);

  const struct {
    int origin;
    int x, y;
  } cases[] = {{1, 1080, 1000}, {2, 1080, 760}, {3, 1080, 520}, {5, 840, 760},
               {6, 840, 520},   {7, 600, 1000}, {8, 600, 760},  {9, 600, 520},
               {13, 1080, 520}, {19, 600, 520}};
  for (const auto& c : cases) {
    f.RunAll("PA1000,1000;LO" + std::to_string(c.origin));
    f.ClearRecords();
    f.Run("LBXY");
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ(Texts()[0], "TextOutA " + std::to_string(c.x) + "," + std::to_string(c.y) + " \"X\"")
        << "LO" << c.origin;
    EXPECT_EQ(ps.xLabelStart, 1000) << "LO" << c.origin;
    EXPECT_EQ(ps.yLabelStart, c.y) << "LO" << c.origin;
  }
}

TEST_F(Labels, CarriageReturnLineFeedAndBackspace) {
  f.Run("LBA\rB");
  std::vector<std::string> texts = Texts();
  EXPECT_EQ(texts[0], "TextOutA 1080,1000 \"A\"");
  EXPECT_EQ(texts[1], "TextOutA 1080,1000 \"B\"");

  f.RunAll("PA1000,1000;ES0,0.5");
  f.ClearRecords();
  f.Run("LBA\nB\rC");
  texts = Texts();
  // LF goes one line (times the line factor) down from where the pen is;
  // the next CR returns to the start of that line.
  EXPECT_EQ(texts[1], "TextOutA 1320," + std::to_string(1000 - 24 * 40) + " \"B\"");
  EXPECT_EQ(texts[2], "TextOutA 1080," + std::to_string(1000 - 24 * 40) + " \"C\"");

  // BS at the start of a line still moves back, but the width ignores it.
  f.RunAll("PA1000,1000;ES;LO7");
  f.ClearRecords();
  f.Run("LB\bA");
  texts = Texts();
  EXPECT_EQ(texts[0], "TextOutA " + std::to_string(1000 - 240 - 240 + 80) + ",1000 \"A\"");
}

TEST_F(Labels, HighBytesAreSingleTextOutBytes) {
  f.Run("LB\xC1\xE9");
  std::vector<std::string> texts = Texts();
  EXPECT_EQ(texts, (std::vector<std::string>{"TextOutA 1080,1000 \"\xC1\"",
                                             "TextOutA 1320,1000 \"\xE9\""}));
}

TEST_F(Labels, PathAndDirectionTurnTheAdvance) {
  f.Run("DV1");  // down the page
  f.Run("LBAB");
  EXPECT_EQ(ps.xPen, 1000);
  EXPECT_EQ(ps.yPen, 1000 - 2 * 16 * 40);

  // DI0,1 writes upward: a cell advance of 240 units becomes y.
  f.RunAll("DV;PA1000,1000;SI0.4,0.4;DI0,1");
  f.ClearRecords();
  f.Run("LBA");
  EXPECT_EQ(ps.xPen, 1000);
  EXPECT_EQ(ps.yPen, 1000 + 240);
  EXPECT_EQ(Texts()[0], "TextOutA 1000,1080 \"A\"");

  // Diagonals turn the same way as the font: DI1,1 rises, DI1,-1 falls,
  // and at 45 degrees on the paper whatever the cell's proportions.
  f.RunAll("PA1000,1000;DI1,1");
  f.Run("LBA");
  EXPECT_EQ(ps.xPen, 1000 + 169);  // 240 units at 45 degrees
  EXPECT_EQ(ps.yPen, 1000 + 169);
  f.RunAll("PA1000,1000;DI1,-1");
  f.Run("LBA");
  EXPECT_EQ(ps.xPen, 1000 + 169);
  EXPECT_EQ(ps.yPen, 1000 - 169);
}

TEST_F(Labels, MeasureOnlyRecordsNothingButMovesAndMeasuresAlike) {
  HandlerFixture measured(DefaultSettings(), true);
  InitFresh(measured);
  const std::string setup = "SI0.4,0.8;PA1000,1000;DI1,1;LO5";
  measured.RunAll(setup);
  measured.Run("LBAB\r\nC");
  InitFresh(f);
  f.RunAll(setup);
  f.Run("LBAB\r\nC");
  EXPECT_TRUE(measured.device.calls.empty());
  EXPECT_EQ(measured.ps.xPen, ps.xPen);
  EXPECT_EQ(measured.ps.yPen, ps.yPen);
  EXPECT_EQ(measured.ps.xMax, ps.xMax);
  EXPECT_EQ(measured.ps.yMin, ps.yMin);
  EXPECT_EQ(measured.ps.xLabelStart, ps.xLabelStart);
}

struct StrokeLabels : Labels {
  static SettingsSet Strokes() {
    SettingsSet s = DefaultSettings();
    s.Set(DrawChars, true);
    return s;
  }
  StrokeLabels() : Labels(Strokes()) {}
  std::vector<std::string> Lines() const { return Matching(f.device.calls, "LineTo"); }
  // The drawing calls, without the pen bookkeeping around them.
  std::vector<std::string> Drawn() const {
    std::vector<std::string> out;
    for (const auto& c : f.device.calls)
      if (c.find("Object") == std::string::npos) out.push_back(c);
    return out;
  }
};

TEST_F(StrokeLabels, GlyphsAreDrawnAsStrokesFromTheCharacterOrigin) {
  f.Run("LBL");  // L: M(0,6) D(0,0) D(4,0)
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(Lines(), (std::vector<std::string>{"LineTo 1000,1000", "LineTo 1120,1000"}));
  EXPECT_NE(std::find(f.device.calls.begin(), f.device.calls.end(), "MoveToEx 1000,1240"),
            f.device.calls.end());
  EXPECT_EQ(ps.xPen, 1240);
  EXPECT_EQ(ps.yPen, 1000);
  EXPECT_EQ(ps.yMax, 1240);  // the stroke drawn down from the top measures from there
}

TEST_F(StrokeLabels, HighCodesUseTheGlyphOfTheLowCodeAndSpaceOnlyAdvances) {
  f.Run("LB\xC1");
  std::vector<std::string> high = Drawn();
  f.RunAll("PA1000,1000");
  f.ClearRecords();
  f.Run("LBA");
  EXPECT_EQ(Drawn(), high);
  EXPECT_FALSE(Lines().empty());

  f.RunAll("PA1000,1000");
  f.ClearRecords();
  f.Run("LB ");
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(ps.xPen, 1240);
}

TEST_F(StrokeLabels, ItalicGlyphsLeanButKeepThePitch) {
  f.Run("SD5,1");  // resets the size to the default
  f.RunAll("SI0.4,0.8;PA1000,1000");
  f.ClearRecords();
  f.Run("LBHHH");
  // H: M(0,0) D(0,6): the top leans 3 units right.
  EXPECT_EQ(Lines()[0], "LineTo 1090,1240");
  EXPECT_EQ(ps.xPen, 1000 + 3 * 240);
  EXPECT_EQ(ps.yPen, 1000);
}

TEST_F(Labels, UserCharacterDrawsInGridUnitsAndEndsWithThePenUp) {
  f.Run("UC99,0,4,4,0,-99,4,-4");
  EXPECT_EQ(f.device.Joined(),
            "LineTo 1000,1160\nSetPixel 1000,1160 #000000\n"
            "LineTo 1120,1160\nSetPixel 1120,1160 #000000\n"
            "MoveToEx 1240,1000");
  EXPECT_EQ(ps.fPenDown, 0);
  EXPECT_EQ(ps.xPen, 1240);
  EXPECT_FALSE(ps.bMode & RELATIVE);
  EXPECT_EQ(ps.nExecuted, 1);
}

TEST_F(Labels, UserCharacterIgnoresALoneLastNumber) {
  f.Run("UC1,2,3,4");  // leaves 4 behind in the parameter array
  f.RunAll("PA1000,1000");
  f.ClearRecords();
  f.Run("UC4,4,7");
  EXPECT_EQ(f.device.Joined(), "MoveToEx 1120,1160");
  EXPECT_EQ(ps.xPen, 1120);
  EXPECT_EQ(ps.yPen, 1160);
}

}  // namespace
}  // namespace tsl

namespace tsl {
namespace {

// Infinite and enormous parameters must saturate, never overflow.
TEST(HostileLabels, AbsurdSizesDirectionsAndSpacingStayInRange) {
  const std::string huge(400, '9');
  for (bool strokes : {false, true}) {
    SettingsSet s = DefaultSettings();
    s.Set(DrawChars, strokes);
    HandlerFixture f(s);
    InitFresh(f);
    f.RunAll("SI" + huge + "," + huge + ";DI" + huge + ",-" + huge + ";ES" + huge + ",-" + huge +
             ";TL" + huge + ";PA2000000000,-2000000000;XT;YT;UC99,-" + huge + "," + huge + ",0");
    f.Run("LBAB\r\n\bX");
    f.RunAll("CP" + huge + "," + huge + ";SR-" + huge + ",0;LO9");
    f.Run("LBW");
    EXPECT_EQ(f.ps.nErrors, 0);
    EXPECT_EQ(f.ps.cxChar, INT32_MIN);
    EXPECT_GE(f.ps.xMax, f.ps.xMin);
  }
}

}  // namespace
}  // namespace tsl
