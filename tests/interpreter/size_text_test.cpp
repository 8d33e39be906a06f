#include <gtest/gtest.h>

#include "interpreter/statistics.h"

namespace tsl {
namespace {

TEST(SizeText, AsTheSaveConfirmationShowsIt) {
  EXPECT_EQ(SizeText(0), "0 Bytes");
  EXPECT_EQ(SizeText(1023), "1023 Bytes");
  EXPECT_EQ(SizeText(1024), "1. KB");
  EXPECT_EQ(SizeText(1536), "1.5 KB");
  EXPECT_EQ(SizeText(1048575), "1024. KB");
  EXPECT_EQ(SizeText(1048576), "1. MB");
  EXPECT_EQ(SizeText(123456789), "117.7 MB");
  EXPECT_EQ(SizeText(1ull << 30), "1. GB");
  EXPECT_EQ(SizeText(5ull << 32), "20 GB");
}

}  // namespace
}  // namespace tsl
