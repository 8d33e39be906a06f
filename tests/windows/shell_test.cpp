// Fitting a drawing into the window with its proportions kept.
#include <gtest/gtest.h>

#include "shell/metafile.h"

namespace {

using tsl::shell::FitToClient;

TEST(FitToClient, KeepsProportionsAndCentres) {
  RECT wide = FitToClient(2000, 1000, 400, 400);
  EXPECT_EQ(wide.left, 0);
  EXPECT_EQ(wide.right, 400);
  EXPECT_EQ(wide.top, 100);
  EXPECT_EQ(wide.bottom, 300);

  RECT tall = FitToClient(1000, 3000, 600, 300);
  EXPECT_EQ(tall.top, 0);
  EXPECT_EQ(tall.bottom, 300);
  EXPECT_EQ(tall.right - tall.left, 100);
  EXPECT_EQ(tall.left, 250);
}

TEST(FitToClient, DegenerateSizesGiveNothingAndHugeOnesDoNotOverflow) {
  RECT none = FitToClient(0, 100, 400, 300);
  EXPECT_EQ(none.right - none.left, 0);
  none = FitToClient(100, 100, 400, -5);
  EXPECT_EQ(none.right - none.left, 0);

  RECT huge = FitToClient(2000000000, 1, 1000, 1000);
  EXPECT_EQ(huge.right - huge.left, 1000);
  EXPECT_EQ(huge.bottom - huge.top, 1) << "a sliver is still drawn";
  RECT sq = FitToClient(2000000000, 2000000000, 1000, 800);
  EXPECT_EQ(sq.right - sq.left, 800);
  EXPECT_EQ(sq.bottom - sq.top, 800);
}

}  // namespace
