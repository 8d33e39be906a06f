// Polygons as plotutils and pstoedit write them: open polylines stroked
// with PM2;EP, markers filled and edged with FP;EP, and shaded fills.
#include <gtest/gtest.h>

#include <string>

#include "support/conversion.h"

namespace tsl {
namespace {

using test::ConvertForTest;
using test::Has;

TEST(ProducerPolygons, EdgesAreOnlyWhatThePenDrew) {
  // plotutils strokes an open polyline, its pen lifted before or after PM2.
  for (const char* end : {"PU;PM2;EP;", "PM2;PU;EP;"}) {
    test::TestConversion c = ConvertForTest(std::string("IN;PA4745,8658;PM0;PD;PA4758,8696,4758,8619;") + end);
    EXPECT_TRUE(Has(c.dump, "EMR_MOVETOEX (4745,8658)\nEMR_POLYLINETO16")) << end << c.dump;
    EXPECT_TRUE(Has(c.dump, "n=3 (4745,8658) (4758,8696) (4758,8619)\nEMR_SETPIXELV (4758,8619)")) << end;
    // No chord back to the start.
    EXPECT_FALSE(Has(c.dump, "(4758,8619) (4745,8658)")) << end << c.dump;
    EXPECT_FALSE(Has(c.dump, "EMR_LINETO (4745,8658)")) << end << c.dump;
    EXPECT_FALSE(Has(c.dump, "EMR_CLOSEFIGURE")) << end << c.dump;
  }
  // A pen-up move inside the polygon starts a figure: its gap is not drawn,
  // and a subpolygon (PM1) is not closed either.
  test::TestConversion c = ConvertForTest("IN;PA0,0;PM0;PD100,0;PU200,0;PD300,0;PM1;PD300,100;PM2;EP;");
  // PA0,0, then the start of each of the three figures.
  EXPECT_EQ(test::Occurrences(c.dump, "EMR_MOVETOEX"), 4u) << c.dump;
  EXPECT_FALSE(Has(c.dump, "(100,0) (200,0)")) << c.dump;
  EXPECT_FALSE(Has(c.dump, "(300,100) (300,0)")) << c.dump;
}

TEST(ProducerPolygons, FillAndEdgeBothDrawAndTheBufferLasts) {
  // pstoedit's filled shapes and plotutils' markers: FP then EP.
  test::TestConversion c = ConvertForTest("IN;PU705,705;PM0;PD4938,705,4938,3527,705,3527,705,705;PM2;FP;EP;");
  size_t fill = c.dump.find("EMR_FILLPATH"), edge = c.dump.find("EMR_POLYLINETO16", fill);
  ASSERT_NE(fill, std::string::npos) << c.dump;
  ASSERT_NE(edge, std::string::npos) << c.dump;
  EXPECT_TRUE(Has(c.dump.substr(edge), "n=5 (705,705) (4938,705) (4938,3527) (705,3527) (705,705)"));
  // FP fills the closed shape even when the pen did not close it.
  test::TestConversion open = ConvertForTest("IN;PU0,0;PM0;PD100,0,100,100;PM2;FP;FP;EP;EP;");
  EXPECT_EQ(test::Occurrences(open.dump, "EMR_FILLPATH"), 2u) << open.dump;
  EXPECT_EQ(test::Occurrences(open.dump, "EMR_BEGINPATH"), 2u) << open.dump;
  EXPECT_EQ(test::Occurrences(open.dump, "n=3 (0,0) (100,0) (100,100)\nEMR_SETPIXELV"), 2u) << open.dump;
  // PM0, IN and DF end it.
  for (const char* reset : {"IN;", "DF;", "PM0;PM2;"}) {
    test::TestConversion gone = ConvertForTest(std::string("IN;PM0;PD100,0,100,100;PM2;") + reset + "FP;EP;");
    EXPECT_FALSE(Has(gone.dump, "EMR_FILLPATH")) << reset;
    EXPECT_FALSE(Has(gone.dump, "(100,0) (100,100)")) << reset;
  }
}

TEST(ProducerPolygons, ShadingTintsThePenColour) {
  // Red at 25 per cent, then the same level for the next pen.
  test::TestConversion c = ConvertForTest("IN;SP2;FT10,25;RA100,100;SP5;RA200,200;FT10,0;RA10,10;");
  EXPECT_FALSE(Has(c.log, "Error")) << c.log;
  EXPECT_TRUE(Has(c.dump, "EMR_CREATEBRUSHINDIRECT 4 style=0 color=#bfbfff hatch=0") ||
              Has(c.dump, "style=0 color=#bfbfff hatch=0"))
      << c.dump;
  EXPECT_TRUE(Has(c.dump, "style=0 color=#ffbfbf hatch=0")) << c.dump;  // blue
  EXPECT_TRUE(Has(c.dump, "style=0 color=#ffffff hatch=0")) << c.dump;  // none of it
}

}  // namespace
}  // namespace tsl
