// `tessella --check-update` against the loopback server, and the
// UpdateServer value set through `tessella settings set`, on the real
// program.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/run_binary.h"
#include "support/temp_dir.h"
#include "test_servers.h"

namespace tsl {
namespace {

using test::RunTessella;

class CheckUpdateCommand : public ::testing::Test {
 protected:
  test::ProgramRun Run(const std::vector<std::string>& args) { return RunTessella(args, dir.path()); }
  test::ProgramRun CheckAgainst(const std::string& name, const char* timeout = "0.5") {
    std::string at = "127.0.0.1:" + std::to_string(test::ServerPort(name));
    test::ProgramRun set = Run({"settings", "set", "UpdateServer", at});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "UpdateServer = " + at + "\n");
    return Run({"--check-update", "--timeout", timeout});
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  test::TempDir dir;
};

TEST_F(CheckUpdateCommand, EachReplyGivesItsLineAndStatus) {
  struct Case {
    const char* name;
    int status;
    const char* out;  // on stdout, or on stderr after "the update check failed: "
  } cases[] = {
      {"current", 0, "Tessella is up-to-date: Version 5.4 Build 1110 is the current version.\n"},
      {"older", 3,
       "A new version of Tessella is available: Version 5.4 Build 1109 was released 2023-11-02 (you are running "
       "Version 5.4 Build 1110); see http://"},
      {"chunked", 3, "Version 5.4 Build 1111 was released 2024-05-01"},
      {"big", 3, "Version 5.4 Build 1111 was released 2024-05-01"},
      {"spaced", 1, "names no release (no Vmajor)"},
      {"missing", 1, "names no release (no Vbuild)"},
      {"notfound", 1, "answered with HTTP status 404"},
      {"cut", 1, "ended within its headers"},
      {"silent", 1, "sent no reply within 0.5 s"},
      {"refused", 1, "refused the connection"},
  };
  for (const Case& c : cases) {
    auto start = std::chrono::steady_clock::now();
    test::ProgramRun r = CheckAgainst(c.name);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, c.status) << c.name << "\n" << r.out << r.err;
    if (c.status == 1) {
      EXPECT_EQ(r.out, "") << c.name;
      EXPECT_TRUE(Has(r.err, "tessella: the update check failed: ")) << r.err;
      EXPECT_TRUE(Has(r.err, c.out)) << c.name << ": " << r.err;
    } else {
      EXPECT_TRUE(Has(r.out, c.out)) << c.name << ": " << r.out;
      EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one line";
    }
    EXPECT_LT(seconds, 3.0) << c.name << ": every wait is bounded by --timeout 0.5";
  }
}

TEST_F(CheckUpdateCommand, TheSettingIsCheckedAndOffTurnsTheCheckOff) {
  test::ProgramRun help = Run({"settings", "--help"});
  EXPECT_TRUE(Has(help.out, "UpdateServer")) << help.out;

  for (const char* bad : {"host:99999", "two words", "host:"}) {
    test::ProgramRun r = Run({"settings", "set", "UpdateServer", bad});
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_TRUE(Has(r.err, "UpdateServer accepts")) << r.err;
  }
  test::ProgramRun inSet = Run({"settings", "set", "--set", "Work", "UpdateServer", "h"});
  EXPECT_EQ(inSet.status, 2);
  EXPECT_TRUE(Has(inSet.err, "belongs to no settings set")) << inSet.err;
  EXPECT_EQ(Run({"settings", "list"}).out.find("Work"), std::string::npos) << "no set was made";

  test::ProgramRun off = Run({"settings", "set", "updateserver", "Off"});
  EXPECT_EQ(off.status, 0);
  EXPECT_EQ(off.out, "UpdateServer = off\n");
  test::ProgramRun r = Run({"--check-update"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.err, "turned off")) << r.err;

  test::ProgramRun back = Run({"settings", "set", "UpdateServer", ""});
  EXPECT_EQ(back.status, 0);
  EXPECT_EQ(back.out, "UpdateServer = (empty: www.quillmark.com)\n");
  EXPECT_FALSE(Has(test::ReadFile(dir.File(".config/settings.ini")), "UpdateServer")) << "the value is gone";

  EXPECT_EQ(Run({"--check-update", "--timeout", "0"}).status, 2);
  EXPECT_EQ(Run({"--check-update", "now"}).status, 2);
}

}  // namespace
}  // namespace tsl
