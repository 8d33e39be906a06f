#include "common/gdi/block_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace gdi {
namespace {

std::vector<uint8_t> Contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::vector<uint8_t> all;
  int c;
  while ((c = std::fgetc(f)) != EOF) all.push_back(static_cast<uint8_t>(c));
  return all;
}

TEST(BlockWriter, BlocksArriveWholeAndInOrderWhileTheCallerRefillsItsBuffer) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::vector<uint8_t> expected;
  {
    BlockWriter writer(f);
    std::vector<uint8_t> block(4096);
    for (int i = 0; i < 200; ++i) {
      // Odd sizes, and the buffer is written over as soon as it comes back:
      // a block still being written from it would show.
      const size_t n = 1 + (static_cast<size_t>(i) * 37) % block.size();
      for (size_t k = 0; k < n; ++k) block[k] = static_cast<uint8_t>(i * 7 + k);
      expected.insert(expected.end(), block.begin(), block.begin() + static_cast<long>(n));
      ASSERT_TRUE(writer.Hand(block, n));
      ASSERT_GE(block.size(), 4096u);
      std::fill(block.begin(), block.end(), 0xEE);
    }
    ASSERT_TRUE(writer.Wait());
    EXPECT_EQ(writer.Error(), 0);
    // After Wait the stream is the caller's again: a direct write lands last.
    std::fputc('!', f);
  }
  expected.push_back('!');
  EXPECT_EQ(Contents(f), expected);
  std::fclose(f);
}

TEST(BlockWriter, AFailedWriteIsReportedAtTheNextStepAndEndsTheWriting) {
  // A stream open for reading only: every write fails.
  std::FILE* f = std::fopen("/dev/null", "r");
  ASSERT_NE(f, nullptr);
  {
    BlockWriter writer(f);
    std::vector<uint8_t> block(1024, 'x');
    EXPECT_TRUE(writer.Hand(block, block.size()));  // taken; written on the thread
    EXPECT_FALSE(writer.Wait());
    EXPECT_NE(writer.Error(), 0);
    EXPECT_FALSE(writer.Hand(block, block.size()));
    writer.Stop();
    EXPECT_FALSE(writer.Wait());
  }
  std::fclose(f);
}

}  // namespace
}  // namespace gdi
