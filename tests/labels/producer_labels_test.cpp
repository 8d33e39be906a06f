// Labels as real producers write them, each a minimal plot and the records
// it must give. SI0.4,0.8 makes a character 160 x 320 plotter units: a cell
// is 240 across (1.5 widths) and a line 640 (two heights).
#include <gtest/gtest.h>

#include <string>

#include "support/conversion.h"

namespace tsl {
namespace {

using test::ConvertForTest;
using test::Has;

std::string Text(int x, int y, const char* c) {
  return "ref=(" + std::to_string(x) + "," + std::to_string(y) + ") options=0x0 text=\"" + c + "\"";
}

TEST(ProducerLabels, CharacterPlotMovesFromThePen) {
  // The Windows driver's way to lower a label by half a line.
  test::TestConversion c = ConvertForTest("IN;SI0.4,0.8;PA1000,2000;CP0,-.5;LBA\x03");
  EXPECT_TRUE(Has(c.dump, Text(1080, 1680, "A"))) << c.dump;
  // CP; is a carriage return and line feed from where the pen moved to,
  // and a second one goes a line further.
  test::TestConversion lines = ConvertForTest("IN;SI0.4,0.8;PA1000,2000;LBAB\x03PA3000,3000;CP;CP;LBC\x03");
  EXPECT_TRUE(Has(lines.dump, Text(3080, 3000 - 2 * 640, "C"))) << lines.dump;
}

TEST(ProducerLabels, TheCellFollowsTheCharacterSizeOfSrAndSi) {
  // gnuplot's SR0.2,0.4: 23 x 33 units, a pitch of 34 (not 172 as when the
  // cell ignored SR).
  test::TestConversion sr = ConvertForTest("IN;SR0.2,0.4;PA1000,1000;LBAB\x03");
  EXPECT_TRUE(Has(sr.dump, Text(1011, 1000, "A"))) << sr.dump;
  EXPECT_TRUE(Has(sr.dump, Text(1045, 1000, "B"))) << sr.dump;
  test::TestConversion si = ConvertForTest("IN;SI0.4,0.8;PA1000,1000;LBAB\x03");
  EXPECT_TRUE(Has(si.dump, Text(1320, 1000, "B"))) << si.dump;
}

TEST(ProducerLabels, TextStandsOnThePenLikeTheStrokeFont) {
  // The baseline through the pen, the first character's left side at it.
  test::TestConversion c = ConvertForTest("IN;SI0.4,0.8;PA1000,1000;LBA\x03");
  EXPECT_TRUE(Has(c.dump, Text(1080, 1000, "A"))) << c.dump;
}

TEST(ProducerLabels, ALineAfterALabelStartsAtThePen) {
  test::TestConversion c = ConvertForTest("IN;SI0.4,0.8;PA1000,1000;LBAB\x03PD2000,1000;");
  EXPECT_TRUE(Has(c.dump, "EMR_MOVETOEX (1480,1000)\nEMR_LINETO (2000,1000)")) << c.dump;
}

TEST(ProducerLabels, RotatedPlotsTurnTheLabelOnce) {
  // Under RO90 a label along x runs up the page, as the rotated drawing.
  test::TestConversion c = ConvertForTest("IN;RO90;SI0.4,0.8;PA1000,1000;DI1,0;LBAB\x03");
  EXPECT_TRUE(Has(c.dump, "escapement=2700")) << c.dump;
  EXPECT_TRUE(Has(c.dump, Text(-1000, 1080, "A"))) << c.dump;
  EXPECT_TRUE(Has(c.dump, Text(-1000, 1320, "B"))) << c.dump;
}

TEST(ProducerLabels, SymbolsAreCentredOnTheirPoints) {
  test::TestConversion c = ConvertForTest("IN;SI0.4,0.8;SM*;PA1000,1000;");
  // Half a capital (160) below the point, centred on it.
  EXPECT_TRUE(Has(c.dump, Text(1000, 840, "*"))) << c.dump;
  SettingsSet strokes = DefaultSettings();
  strokes.Set(DrawChars, true);
  test::TestConversion s = ConvertForTest("IN;SI0.4,0.8;SM+;PA1000,1000;", strokes);
  // '+': M(2,1) D(2,5) M(0,3) D(4,3), its middle (2,3) on the point.
  EXPECT_TRUE(Has(s.dump, "EMR_MOVETOEX (1000,920)\nEMR_LINETO (1000,1080)")) << s.dump;
  EXPECT_TRUE(Has(s.dump, "EMR_MOVETOEX (940,1000)\nEMR_LINETO (1060,1000)")) << s.dump;
}

TEST(ProducerLabels, SizesKeepTheNormalWeightAndTheCapitalHeight) {
  test::TestConversion c = ConvertForTest("IN;SI0.4,0.8;SR2,3;SD6,0;LBA\x03");
  EXPECT_FALSE(Has(c.dump, "weight=1000")) << c.dump;
  // SI0.4,0.8: capitals 320 high in Courier New (0.571 of the em).
  EXPECT_TRUE(Has(c.dump, "height=-560 width=160 escapement=0 orientation=0 weight=500")) << c.dump;
  // SD's weights: 3 is near bold, 7 the boldest.
  test::TestConversion bold = ConvertForTest("IN;SD6,3;LBA\x03SD6,7;LBB\x03");
  EXPECT_TRUE(Has(bold.dump, "weight=671")) << bold.dump;
  EXPECT_TRUE(Has(bold.dump, "weight=900")) << bold.dump;
}

// GNU plotutils selects Roman-8 (SD1,277) and writes each minus of its
// axis labels as Roman-8's dash, 0xF6, which Windows-1252 calls "ö".
TEST(ProducerLabels, Roman8LabelsAreDrawnAsTheCharactersTheyStandFor) {
  const std::string font = "IN;SD1,277,2,1,3,8.000,4,18.000,5,0,6,0,7,4148;SI0.4,0.8;PA1000,1000;";
  test::TestConversion c = ConvertForTest(font + "LB\xF6" "2\x03PA1000,2000;LB\xCE\xB3\x03");
  EXPECT_TRUE(Has(c.dump, Text(1080, 1000, "\u2014"))) << c.dump;
  EXPECT_TRUE(Has(c.dump, Text(1320, 1000, "2"))) << c.dump;
  EXPECT_TRUE(Has(c.dump, Text(1080, 2000, "\u00F6"))) << c.dump;  // Roman-8's o umlaut
  EXPECT_TRUE(Has(c.dump, Text(1320, 2000, "\u00B0"))) << c.dump;  // and its degree sign
  // The symbol set is taken now; the options still not are reported.
  EXPECT_FALSE(Has(c.log, "option 1'")) << c.log;
  EXPECT_TRUE(Has(c.log, "option 2'")) << c.log;

  // Without it, after another set and after IN, bytes are drawn as they are.
  for (const char* plot : {"IN;SI0.4,0.8;PA1000,1000;LB\xF6\x03", "IN;SD1,277;SD1,21;SI0.4,0.8;PA1000,1000;LB\xF6\x03",
                           "IN;SD1,277;IN;SI0.4,0.8;PA1000,1000;LB\xF6\x03"}) {
    test::TestConversion plain = ConvertForTest(plot);
    EXPECT_TRUE(Has(plain.dump, Text(1080, 1000, "\u00F6"))) << plot << "\n" << plain.dump;
  }

  // The stroke font draws the dash as its minus, an accented letter as its letter.
  SettingsSet strokes = DefaultSettings();
  strokes.Set(DrawChars, true);
  test::TestConversion dash = ConvertForTest("IN;SD1,277;PA1000,1000;LB\xF6\xC5\x03", strokes);
  test::TestConversion ascii = ConvertForTest("IN;SD1,277;PA1000,1000;LB-e\x03", strokes);
  EXPECT_EQ(dash.dump, ascii.dump);
  EXPECT_NE(dash.dump, ConvertForTest("IN;PA1000,1000;LB\xF6\xC5\x03", strokes).dump);
}

TEST(ProducerLabels, EachLineIsPlacedByTheOrigin) {
  // LO6 centres each line and hangs the label from its top: the second,
  // longer line starts further left.
  test::TestConversion c = ConvertForTest("IN;SI0.4,0.8;PA2000,2000;LO6;LBAB\r\nCDEF\x03");
  EXPECT_TRUE(Has(c.dump, Text(1840, 1520, "A"))) << c.dump;
  EXPECT_TRUE(Has(c.dump, Text(1600, 880, "C"))) << c.dump;
  // Right-aligned turned labels turn the offset too: DI0,1 with LO7 ends
  // the label at the pen, below it.
  test::TestConversion up = ConvertForTest("IN;SI0.4,0.4;PA2000,2000;DI0,1;LO7;LBAB\x03");
  EXPECT_TRUE(Has(up.dump, Text(2000, 1520 + 80, "A"))) << up.dump;
}

}  // namespace
}  // namespace tsl
