// What goes with the program: its manual page renders with man, its bash
// completion loads and completes, and cmake --install puts all three in
// place.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FileExists;
using test::TempDir;

const std::string kSource = std::string(TESSELLA_TEST_DATA) + "/../../src/cli/";

TEST(Installation, TheManualPageRenders) {
  if (access("/usr/bin/man", X_OK) != 0) GTEST_SKIP() << "man is not installed (scripts/setup.sh installs it)";
  TempDir dir;
  auto run = test::RunShell("MANPAGER=cat MANWIDTH=80 man -l '" + kSource + "tessella.1'", dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* part : {"NAME", "SYNOPSIS", "SWITCHES", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "EXAMPLES",
                           "--recursive", "SOURCE_DATE_EPOCH", "convert HP"})
    EXPECT_NE(run.out.find(part), std::string::npos) << part;
  auto warnings = test::RunShell("groff -man -ww -z '" + kSource + "tessella.1'", dir.path());
  EXPECT_EQ(warnings.err, "");
}

TEST(Installation, TheBashCompletionCompletes) {
  TempDir dir;
  dir.Write("plan.plt", "IN;");
  dir.Write("plan.txt", "no plot");
  const std::string source = "source '" + kSource + "tessella.bash-completion'; ";
  auto complete = test::RunShell(source + "complete -p tessella", dir.path());
  EXPECT_EQ(complete.status, 0) << complete.err;
  EXPECT_EQ(complete.out, "complete -F _tessella tessella\n");
  auto words = test::RunShell(source +
                                  "COMP_WORDS=(tessella pl); COMP_CWORD=1; _tessella; echo \"${COMPREPLY[*]}\"; "
                                  "COMP_WORDS=(tessella --re); COMP_CWORD=1; _tessella; echo \"${COMPREPLY[*]}\"; "
                                  "COMP_WORDS=(tessella settings de); COMP_CWORD=2; _tessella; echo \"${COMPREPLY[*]}\"",
                              dir.path());
  EXPECT_EQ(words.out, "plan.plt\n--recursive\ndelete\n") << words.err;
}

TEST(Installation, CmakeInstallPutsAllThreeInPlace) {
  TempDir prefix;
  std::string build = test::TessellaBinary();
  build = build.substr(0, build.rfind('/'));
  auto run = test::RunShell("cmake --install '" + build + "' --prefix '" + prefix.path() + "'", prefix.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(FileExists(prefix.File("bin/tessella")));
  EXPECT_TRUE(FileExists(prefix.File("share/man/man1/tessella.1")));
  EXPECT_TRUE(FileExists(prefix.File("share/bash-completion/completions/tessella")));
  auto version = test::RunShell("'" + prefix.File("bin/tessella") + "' --version", prefix.path());
  EXPECT_EQ(version.out, "tessella 5.4.1110\n");
}

}  // namespace
}  // namespace tsl
