// Whole conversions of the coordinate and pen-motion commands, compared
// record by record with reviewed dumps.
#include <gtest/gtest.h>

#include "support/conversion.h"

namespace tsl::test {
namespace {

TEST(CoreGolden, CoordinateSystemsAndPenMotion) {
  const char plot[] =
      "IN;CO\"frame and grid\";PU0,0;PD11880,0,11880,8400,0,8400,0,0;"
      "IP1000,1000,5000,5000;SC0,10,0,10;PU0,0;PD10,0,10,10;PR-5,-5;PU;"
      "SC;IP;RO90;PA2000,1000;PD3000,1000;PU;RO;"
      "IW6000,1000,9000,4000;PA5000,500;PD10000,5000;PU;IW;"
      "PS4;PA100,100;PD200,200,300,100;";
  TestConversion c = ConvertForTest(plot);
  EXPECT_EQ(c.result, 1);
  ExpectGolden("core_coordinates.txt", c.dump);
}

TEST(CoreGolden, LargePageHighResolutionAndMirroring) {
  SettingsSet s = DefaultSettings();
  s.PageWidth = 1189;
  s.PageHeight = 841;
  s.Set(HighResolution, true);
  s.Set(MirrorX, true);
  s.FramePicture = -1;
  TestConversion c = ConvertForTest("IN;PD1000,1000,2000,1500;PU;PR100,100;PD100,0,0,100;", s);
  ExpectGolden("core_large_page.txt", c.dump);
}

}  // namespace
}  // namespace tsl::test
