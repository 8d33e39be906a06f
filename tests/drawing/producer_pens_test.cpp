// Pens as real producers use them: gnuplot resets pen 1 before every
// border (PC1;) and colours the selected pen (PC1,r,g,b;PE...), CAD pen
// tables set every pen's width first, and pen numbers run past the count.
#include <gtest/gtest.h>

#include <string>

#include "support/conversion.h"

namespace tsl {
namespace {

using test::ConvertForTest;
using test::Has;

// What follows the last `mark` in the dump.
std::string After(const std::string& dump, const std::string& mark) {
  size_t at = dump.rfind(mark);
  return at == std::string::npos ? dump : dump.substr(at + mark.size());
}

TEST(ProducerPens, ColourWithoutComponentsRestoresTheStartingColour) {
  // Pen 2 starts red (#0000ff as 0x00bbggrr). PC2; puts it back after a blue, PC; every pen.
  test::TestConversion c = ConvertForTest("IN;PC2,0,0,255;PC2;SP2;PD100,0;PC3,1,2,3;PC;SP3;PD200,0;");
  EXPECT_FALSE(Has(c.log, "Error")) << c.log;
  EXPECT_TRUE(Has(c.dump, "style=0 width=12 color=#0000ff")) << c.dump;
  EXPECT_TRUE(Has(c.dump, "EMR_SETPIXELV (100,0) #0000ff")) << c.dump;  // 0x00bbggrr
  EXPECT_TRUE(Has(c.dump, "EMR_SETPIXELV (200,0) #00ff00")) << c.dump;  // green
  EXPECT_TRUE(Has(c.log, "* Commands executed:  10")) << c.log;
}

TEST(ProducerPens, ColouringTheSelectedPenReachesWhatFollows) {
  test::TestConversion c = ConvertForTest("IN;SP1;PC1,255,128,0;PD100,0;");
  // The pen and the text colour are made in the new colour before the line.
  std::string drawn = After(c.dump, "style=0 width=12 color=#0080ff\n");
  EXPECT_NE(drawn, c.dump) << c.dump;
  EXPECT_TRUE(Has(drawn, "EMR_SETTEXTCOLOR #0080ff\n")) << drawn;
  EXPECT_TRUE(Has(drawn, "EMR_LINETO (100,0)\nEMR_SETPIXELV (100,0) #0080ff")) << drawn;
  // The same colour again makes nothing new.
  test::TestConversion same = ConvertForTest("IN;SP1;PC1;PC1,0,0,0;PD100,0;");
  EXPECT_EQ(same.dump.find("EMR_SETTEXTCOLOR"), same.dump.rfind("EMR_SETTEXTCOLOR")) << same.dump;
  // A fill after it fills in the new colour.
  test::TestConversion fill = ConvertForTest("IN;SP1;PC1,0,0,255;RA100,100;");
  EXPECT_TRUE(Has(fill.dump, "style=0 color=#ff0000 hatch=0\nEMR_SELECTOBJECT")) << fill.dump;
  EXPECT_FALSE(Has(fill.dump, "EMR_CREATEBRUSHINDIRECT 2 style=0 color=#000000")) << fill.dump;
}

TEST(ProducerPens, EachPenKeepsItsOwnWidth) {
  // A pen table: every width first, then the drawing.
  test::TestConversion c = ConvertForTest("IN;PW0.5,1;PW1.0,2;SP1;PD100,0;SP2;PD200,0;SP3;PD300,0;");
  EXPECT_TRUE(Has(c.dump, "style=0 width=20 color=#000000")) << c.dump;
  EXPECT_TRUE(Has(c.dump, "style=0 width=40 color=#0000ff")) << c.dump;
  EXPECT_TRUE(Has(c.dump, "style=0 width=12 color=#00ff00")) << c.dump;
  // Without a pen the width is every pen's.
  test::TestConversion all = ConvertForTest("IN;PW0.5,2;PW0.25;SP2;PD100,0;");
  EXPECT_TRUE(Has(all.dump, "style=0 width=10 color=#0000ff")) << all.dump;
  EXPECT_FALSE(Has(all.dump, "width=20")) << all.dump;
}

TEST(ProducerPens, PenNumbersBeyondTheCountWrapAround) {
  test::TestConversion c = ConvertForTest("IN;NP4;SP6;PD100,0;");
  EXPECT_FALSE(Has(c.log, "Warning")) << c.log;
  EXPECT_TRUE(Has(c.dump, "EMR_SETPIXELV (100,0) #0000ff")) << c.dump;  // pen 2
}

}  // namespace
}  // namespace tsl
