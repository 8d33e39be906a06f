// Replacing a file on Windows, where a rename does not replace: the new file
// takes the old one's place in one step, and when it cannot, the old one is
// kept as it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "common/atomic_file.h"
#include "support/temp_dir.h"

#include "platform/windows_lean.h"

namespace {

using tsl::test::ReadFile;
using tsl::test::TempDir;

bool WriteAll(tsl::AtomicFile& f, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), f.Stream()) == text.size();
}

TEST(AtomicFileWin32, ReplacesAnExistingFile) {
  TempDir dir;
  const std::string path = dir.Write("plan.emf", "OLD");
  tsl::AtomicFile f;
  ASSERT_TRUE(f.Open(path));
  ASSERT_TRUE(WriteAll(f, "NEW CONTENT"));
  ASSERT_TRUE(f.Commit());
  EXPECT_EQ(ReadFile(path), "NEW CONTENT");
  EXPECT_EQ(dir.List().size(), 1u);
}

TEST(AtomicFileWin32, KeepsTheOlderFileWhenItCannotBeReplaced) {
  TempDir dir;
  const std::string path = dir.Write("plan.emf", "OLD");
  // Another program holds the file open without sharing: it can be neither
  // deleted nor replaced.
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  tsl::AtomicFile f;
  ASSERT_TRUE(f.Open(path));
  ASSERT_TRUE(WriteAll(f, "NEW CONTENT"));
  errno = 0;
  EXPECT_FALSE(f.Commit());
  EXPECT_NE(errno, 0);
  CloseHandle(held);
  EXPECT_EQ(ReadFile(path), "OLD");
  EXPECT_EQ(dir.List().size(), 1u) << "the temporary file is left";
}

}  // namespace
