// The older outputs of a file, kept aside while it converts: back as they
// were when it fails, gone when the new ones stand, pages included.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/output_guard.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FileExists;
using test::ReadFile;
using test::TempDir;

// A run replacing `name` the way the writers do: a new file renamed over it.
void Replace(const TempDir& dir, const std::string& name, const std::string& content) {
  std::string temp = dir.Write(name + ".new", content);
  ASSERT_EQ(std::rename(temp.c_str(), dir.File(name).c_str()), 0);
}

TEST(OutputGuard, AFailedConversionGetsEveryOlderPageBackAndLosesItsNewOnes) {
  TempDir dir;
  dir.Write("a.emf", "old 1");
  dir.Write("a-2.emf", "old 2");
  dir.Write("a.log", "old log");
  std::string why;
  {
    OutputGuard guard;
    ASSERT_TRUE(guard.Keep(dir.File("a.emf"), true, &why)) << why;
    ASSERT_TRUE(guard.Keep(dir.File("a.log"), false, &why)) << why;
    ASSERT_TRUE(guard.Keep(dir.File("a.png"), false, &why)) << why;
    Replace(dir, "a.emf", "new 1");
    Replace(dir, "a-2.emf", "new 2");
    Replace(dir, "a-3.emf", "new 3");
    Replace(dir, "a-4.emf", "new 4");
    Replace(dir, "a.log", "new log");
    Replace(dir, "a.png", "new png");
    guard.Restore(dir.File("a.log"));
  }
  EXPECT_EQ(ReadFile(dir.File("a.emf")), "old 1");
  EXPECT_EQ(ReadFile(dir.File("a-2.emf")), "old 2");
  EXPECT_EQ(ReadFile(dir.File("a.log")), "new log");  // the one kept: it says why
  EXPECT_FALSE(FileExists(dir.File("a-3.emf")));
  EXPECT_FALSE(FileExists(dir.File("a-4.emf")));
  EXPECT_FALSE(FileExists(dir.File("a.png")));
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"a-2.emf", "a.emf", "a.log"}));
}

TEST(OutputGuard, CommittedOutputsStandAndAnUntouchedOneStaysItself) {
  TempDir dir;
  dir.Write("b.emf", "old");
  dir.Write("b.log", "old log");
  std::string why;
  {
    OutputGuard guard;
    ASSERT_TRUE(guard.Keep(dir.File("b.emf"), false, &why));
    ASSERT_TRUE(guard.Keep(dir.File("b.log"), false, &why));
    Replace(dir, "b.emf", "new");
    guard.Commit();
  }
  EXPECT_EQ(ReadFile(dir.File("b.emf")), "new");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"b.emf", "b.log"}));

  // Restoring a file the run never replaced: its second name, a link to the
  // same file, is not left behind (a rename between two links does nothing).
  {
    OutputGuard guard;
    ASSERT_TRUE(guard.Keep(dir.File("b.log"), false, &why));
  }  // destroyed without Commit: restores
  EXPECT_EQ(ReadFile(dir.File("b.log")), "old log");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"b.emf", "b.log"}));
}

TEST(OutputGuard, AFileThatCannotBeKeptAsideStopsTheConversion) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("ro").c_str(), 0755), 0);
  dir.Write("ro/c.emf", "old");
  ASSERT_EQ(chmod(dir.File("ro").c_str(), 0555), 0);
  std::string why;
  OutputGuard guard;
  bool kept = guard.Keep(dir.File("ro/c.emf"), false, &why);
  chmod(dir.File("ro").c_str(), 0755);
  if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
  EXPECT_FALSE(kept);
  EXPECT_NE(why.find("cannot keep the older"), std::string::npos) << why;
}

}  // namespace
}  // namespace tsl
