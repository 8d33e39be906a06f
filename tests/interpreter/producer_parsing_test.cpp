// What real producers write and the first parse got wrong: long parameter
// lists, numbers with an exponent, arcs under anisotropic user scaling, and
// the extents of a line measured from where it starts.
#include <gtest/gtest.h>

#include <string>

#include "support/conversion.h"

namespace tsl {
namespace {

using test::ConvertForTest;
using test::Has;

TEST(ProducerParsing, LongPenDownListsKeepEveryPair) {
  // 12,000 pairs in one PD: over 48,000 bytes with a buffer that starts at
  // 1,024; two bytes a parameter is the densest a command gets.
  std::string plot = "IN;PU0,0;PD";
  const int pairs = 12000;
  for (int i = 1; i <= pairs; ++i) plot += std::to_string(i % 2) + "," + std::to_string(i % 3) + ",";
  plot += "7,7;";
  test::TestConversion c = ConvertForTest(plot);
  EXPECT_FALSE(Has(c.log, "Expecting at most")) << c.log.substr(0, 400);
  EXPECT_TRUE(Has(c.dump, "n=" + std::to_string(pairs + 2) + " (0,0) (1,1) (0,2) (1,0)")) << c.dump.substr(0, 600);
  EXPECT_TRUE(Has(c.dump, " (7,7)\nEMR_SETPIXELV (7,7)"));
}

TEST(ProducerParsing, NumbersWithAnExponent) {
  // pstoedit's direction of text turned upright, and lines given in
  // exponent form; nothing of it is an error.
  test::TestConversion c = ConvertForTest("IN;DI4.48966e-09,100;PA0,0;PD1e3,5E+2,1.5E1,-2e-0;");
  EXPECT_FALSE(Has(c.log, "Error")) << c.log;
  EXPECT_FALSE(Has(c.log, "Unregcognized")) << c.log;
  EXPECT_TRUE(Has(c.dump, "escapement=2700")) << c.dump;
  EXPECT_TRUE(Has(c.dump, "n=3 (0,0) (1000,500) (15,-2)")) << c.dump;
}

TEST(ProducerParsing, AnEWithoutADigitStillStartsACommand) {
  // 10E followed by a letter is a number and the next command.
  test::TestConversion c = ConvertForTest("IN;PA100,100EA200,300;PA10,20e;");
  EXPECT_TRUE(Has(c.dump, "EMR_RECTANGLE box=(100,100,199,299)")) << c.dump;
  EXPECT_FALSE(Has(c.log, "Error")) << c.log;
}

TEST(ProducerParsing, ArcsUnderAnisotropicScalingEndOnTheirEllipse) {
  // 118.8 plotter units per user unit along x, 42 along y: a quarter turn
  // around (50,100) from (100,100) ends at (50,150), that is (5940,6300).
  test::TestConversion c = ConvertForTest("IN;SC0,100,0,200;PU100,100;PD;AA50,100,90,45;PD50,150;");
  EXPECT_TRUE(Has(c.dump, "n=3 (11880,4200) (10140,5684) (5940,6300)\nEMR_SETPIXELV (5940,6300)")) << c.dump;
  // The next line starts where the arc ended: no line back from elsewhere.
  EXPECT_TRUE(Has(c.dump, "EMR_LINETO (5940,6300)")) << c.dump;
  // Pen up: only the end point, computed the same way.
  test::TestConversion up = ConvertForTest("IN;SC0,100,0,200;PU100,100;AR-50,0,-90;PD;PR0,0;");
  EXPECT_TRUE(Has(up.dump, "EMR_MOVETOEX (5940,2100)")) << up.dump;
  // Isotropic scaling keeps the circle in plotter units, as before.
  test::TestConversion iso = ConvertForTest("IN;SC0,118.8,0,84;PU100,100;PD;AA50,100,90,45;");
  EXPECT_TRUE(Has(iso.dump, "n=3 (10000,10000) (8535,13535) (5000,15000)")) << iso.dump;
}

TEST(ProducerParsing, ALineMeasuresFromItsStart) {
  test::TestConversion c = ConvertForTest("IN;PU100,100;PD200,100;");
  EXPECT_TRUE(Has(c.log, "Xmin=100, Ymin=100, Xmax=200, Ymax=100")) << c.log;
    // Bezier curves alike: the pen-up curve only grows by its points.
  test::TestConversion bz = ConvertForTest("IN;PU100,100;BZ110,110,190,110,200,100;PD;BZ210,90,290,90,300,100;");
  EXPECT_TRUE(Has(bz.log, "Xmin=100, Ymin=90")) << bz.log;
}

}  // namespace
}  // namespace tsl
