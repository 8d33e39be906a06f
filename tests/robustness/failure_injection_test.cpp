// Failures the program must survive: every allocation of a conversion made
// to fail in turn, and a disk that fills up while a metafile is written.
#include <gtest/gtest.h>

#if !defined(_WIN32)  // the full-disk case needs fork and a file-size limit
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <string>

#include "common/line_end.h"
#include "common/memory.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "support/collect_notices.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FileExists;
using test::ReadFile;
using test::TempDir;

// Every kind of command that allocates: point arrays, long commands that
// grow the buffer, labels, curves, parameter errors.
const char kPlot[] =
    "IN;SP2;PD0,0,100,100,200,0,300,300;PU;PA10,20,30;CI500;AA0,0,90;"
    "PM0;PD0,0,500,0,500,500;PM2;FP;EP;LBHello\x03PE<=ABC?@;SM*;PA5,5,10,10;SM;"
    "WG300,0,90;BZ1,1,2,2,3,3;PT0.5;LT2;RA100,100;SI0.5,0.5;DI0,1;LBup\x03;"
    "PDPDPDPD1,1,2,2,3,3,4,4,5,5,6,6,7,7,8,8,9,9,10,10,11,11,12,12,13,13,14,14,15,15,16,16;";

struct Outcome {
  int rc;
  RunResult result;
  std::string log;
};

Outcome Convert(const TempDir& dir, const SettingsSet& s, Notices& notices = NoOneToTell()) {
  FixedClock clock(1700000000);
  RunEnvironment env;
  env.clock = &clock;
  env.notices = &notices;
  Outcome o{};
  o.rc = Tessella(s, dir.File("p.plt"), dir.File("p.emf").c_str(), dir.File("p.log"), env, &o.result);
  o.log = ReadFile(dir.File("p.log"));
  return o;
}

TEST(FailureInjection, EveryAllocationOfAConversionMayFail) {
  TempDir dir;
  dir.Write("p.plt", std::string(kPlot) + "PE" + std::string(3000, '?') + ";");
  SettingsSet s = DefaultSettings();
  s.InitialCmdBuffer = 64;  // so that the command buffer grows as well
  test::CollectNotices notices;

  size_t calls = 0;
  SetAllocFailureHook([&](size_t) {
    ++calls;
    return false;
  });
  Outcome clean = Convert(dir, s);
  SetAllocFailureHook(nullptr);
  ASSERT_EQ(clean.rc, 1);
  ASSERT_GT(calls, 10u);

  for (size_t fail = 0; fail < calls; ++fail) {
    size_t seen = 0;
    SetAllocFailureHook([&](size_t) { return seen++ == fail; });
    notices.texts.clear();
    Outcome o = Convert(dir, s, notices);
    SetAllocFailureHook(nullptr);
    SCOPED_TRACE("allocation " + std::to_string(fail));
    // The run either did not start, and told the user, or went on to a
    // closed, framed metafile.
    if (o.rc == 1) {
      EXPECT_TRUE(o.result.metafileOk);
      EXPECT_NE(o.log.find("Statistics:"), std::string::npos);
    } else {
      EXPECT_LT(fail, 2u) << "only the command buffer and the parameters stop a run before it starts";
      ASSERT_FALSE(notices.texts.empty());
      EXPECT_NE(notices.texts[0].find("Error allocating"), std::string::npos);
    }
  }
}

TEST(FailureInjection, ABufferThatCannotGrowEndsTheRunWithItsMessage) {
  TempDir dir;
  dir.Write("p.plt", "PD1,1;PE" + std::string(5000, '?') + ";PD2,2;");
  SettingsSet s = DefaultSettings();
  test::CollectNotices notices;
  SetAllocFailureHook([](size_t n) { return n == 2048; });
  Outcome o = Convert(dir, s);
  SetAllocFailureHook(nullptr);
  EXPECT_EQ(o.rc, 1);
  EXPECT_TRUE(o.result.metafileOk);
  const std::string end = kLineEnd;
  EXPECT_NE(o.log.find("Error: Failed to allocate 2048 bytes of memory." + end + "       Tessella aborting. Sorry!" + end),
            std::string::npos)
      << o.log;
}

#if !defined(_WIN32)
TEST(FailureInjection, AFullDiskLeavesNoMetafileUnderItsName) {
  TempDir dir;
  std::string plot = "IN;";
  while (plot.size() < 400000) plot += "PD1,1,2000,2000,4000,0;PU;";
  dir.Write("p.plt", plot);
  pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    test::CollectNotices quiet;
    Outcome o = Convert(dir, DefaultSettings());
    _exit(o.rc == 1 && !o.result.metafileOk ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the run must report the metafile as not written";
  EXPECT_FALSE(FileExists(dir.File("p.emf")));
  for (const std::string& name : dir.List()) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}
#endif

}  // namespace
}  // namespace tsl
