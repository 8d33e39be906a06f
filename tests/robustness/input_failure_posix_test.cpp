// Plot files that cannot be read: missing, a folder, a pipe, a device, no
// permission, a read error or a file cut short part way. The run either
// does not start (result 0, the system's reason under the file's name) or
// keeps what it drew and says the plot was not read to its end; it never
// blocks and never passes a partial plot off as the whole.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "support/collect_notices.h"
#include "support/fault_plan.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::CollectNotices;
using test::FaultPlan;
using test::ReadFile;
using test::TempDir;

struct Outcome {
  int rc = 0;
  RunResult result;
  std::string log;
};

Outcome Convert(const TempDir& dir, const std::string& input, Notices& notices) {
  FixedClock clock(1700000000);
  RunEnvironment env;
  env.clock = &clock;
  env.notices = &notices;
  SettingsSet s = DefaultSettings();
  s.Set(Unattended, true);
  Outcome o;
  o.rc = Tessella(s, input, dir.File("p.emf").c_str(), dir.File("p.log"), env, &o.result);
  o.log = ReadFile(dir.File("p.log"));
  return o;
}

std::string LongPlot() {
  std::string plot = "IN;SP1;";
  while (plot.size() < 300000) plot += "PD1,1,2000,2000,4000,0;PU;";
  return plot;
}

// The run does not start: result 0, a notice captioned with the input path
// that gives the reason, and nothing written.
void ExpectRefused(const TempDir& dir, const std::string& input, const std::string& reason) {
  CollectNotices notices;
  Outcome o = Convert(dir, input, notices);
  EXPECT_EQ(o.rc, 0) << input;
  ASSERT_EQ(notices.texts.size(), 1u) << input;
  EXPECT_EQ(notices.captions[0], input);
  EXPECT_NE(notices.texts[0].find(reason), std::string::npos) << notices.texts[0];
  EXPECT_FALSE(test::FileExists(dir.File("p.emf")));
  EXPECT_FALSE(test::FileExists(dir.File("p.log")));
}

TEST(InputFailure, FilesThatCannotBeOpenedAreRefusedWithTheReason) {
  TempDir dir;
  ExpectRefused(dir, dir.File("missing.plt"), "No such file or directory");
  ExpectRefused(dir, dir.path(), "Is a directory");
  dir.Write("p.plt", "IN;PD1,1;");
  ExpectRefused(dir, dir.File("p.plt/x.plt"), "Not a directory");
  {
    FaultPlan plan(FileStep::Open, "p.plt", 0, EACCES);
    ExpectRefused(dir, dir.File("p.plt"), "Permission denied");
  }
}

TEST(InputFailure, AnUnreadableFileForAnOrdinaryUser) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their mode";
  TempDir dir;
  std::string path = dir.Write("p.plt", "IN;PD1,1;");
  chmod(path.c_str(), 0);
  ExpectRefused(dir, path, "Permission denied");
}

TEST(InputFailure, PipesAndDevicesAreRefusedWithoutWaiting) {
  TempDir dir;
  // A pipe nobody writes to would block an ordinary open for ever.
  ASSERT_EQ(mkfifo(dir.File("fifo.plt").c_str(), 0600), 0);
  ExpectRefused(dir, dir.File("fifo.plt"), "Not a regular file");
  // An endless stream of separators would never end the run.
  ExpectRefused(dir, "/dev/zero", "Not a regular file");
}

TEST(InputFailure, AReadErrorPartWayKeepsTheDrawingAndSaysSo) {
  TempDir dir;
  std::string input = dir.Write("p.plt", LongPlot());
  CollectNotices notices;
  Outcome o;
  {
    FaultPlan plan(FileStep::Read, "p.plt", 2, EIO);
    o = Convert(dir, input, notices);
    ASSERT_TRUE(plan.fired());
  }
  EXPECT_EQ(o.rc, 1);
  EXPECT_TRUE(o.result.metafileOk) << "what was drawn is closed and kept, as on cancel";
  EXPECT_FALSE(o.result.inputOk);
  EXPECT_GE(o.result.nErrors, 1);
  EXPECT_NE(o.log.find("Error: Reading the plot file failed at offset 0x"), std::string::npos) << o.log;
  EXPECT_NE(o.log.find("Input/output error\n       Tessella aborting. Sorry!\n"), std::string::npos) << o.log;
  ASSERT_EQ(o.result.problems.size(), 1u);
  EXPECT_EQ(NoticeText(o.result.problems[0]), "Error reading the plot file '" + input + "'\n\nInput/output error");
}

TEST(InputFailure, AFileCutShortWhileReadIsNotTakenForTheWhole) {
  TempDir dir;
  std::string input = dir.Write("p.plt", LongPlot());
  CollectNotices notices;
  Outcome o;
  {
    // Another program truncates the file after our first read.
    FaultPlan plan(
        [&](FileStep step, const std::string& path) {
          if (step == FileStep::Read && path == input) truncate(input.c_str(), 70000);
          return 0;
        },
        -1);
    o = Convert(dir, input, notices);
  }
  EXPECT_TRUE(o.result.metafileOk);
  EXPECT_FALSE(o.result.inputOk);
  EXPECT_NE(o.log.find("The file became shorter while it was read"), std::string::npos) << o.log;
}

TEST(InputFailure, TheCommandLineFailsTheFileAndSaysWhy) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("fifo.plt").c_str(), 0600), 0);
  auto fifo = test::RunTessella({"-B", "fifo.plt"}, dir.path());
  EXPECT_EQ(fifo.status, 1);
  EXPECT_NE(fifo.err.find("fifo.plt: error: Not a regular file"), std::string::npos) << fifo.err;
  auto folder = test::RunTessella({"-B", "--", dir.path() + "/fifo.plt", "/dev/zero"}, dir.path());
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("/dev/zero: error: Not a regular file"), std::string::npos) << folder.err;
}

}  // namespace
}  // namespace tsl
