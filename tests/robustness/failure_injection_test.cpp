// Failures the program must survive: every allocation of a conversion made
// to fail in turn, and a disk that fills up while a metafile is written.
#include <gtest/gtest.h>

#if !defined(_WIN32)  // the full-disk case needs fork and a file-size limit
#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include "common/gdi/emf_reader.h"
#include "common/line_end.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "support/allocation_failure.h"
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

bool ValidEmf(const std::string& bytes) {
  gdi::EmfReader reader;
  std::string why;
  return reader.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &why);
}

// The descriptors this process has open (-1 where that cannot be seen): a
// run that runs out of memory must not leave a file open behind it (which
// on Windows also keeps its temporary file from being deleted).
int OpenDescriptors() {
#if defined(__linux__)
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return -1;
  int n = 0;
  while (readdir(dir)) n++;
  closedir(dir);
  return n;
#else
  return -1;
#endif
}

struct Outcome {
  int rc;
  RunResult result;
  std::string log;
};

// Converts p.plt; a `failing` plan applies to the run alone.
Outcome Convert(const TempDir& dir, const SettingsSet& s, Notices& notices = NoOneToTell(),
                const std::function<bool(size_t, size_t)>* failing = nullptr, size_t* seen = nullptr) {
  FixedClock clock(1700000000);
  RunEnvironment env;
  env.clock = &clock;
  env.notices = &notices;
  Outcome o{};
  std::string in = dir.File("p.plt"), out = dir.File("p.emf"), log = dir.File("p.log");
  if (failing) {
    test::AllocationFailure plan(*failing);
    o.rc = Tessella(s, in, out.c_str(), log, env, &o.result);
    if (seen) *seen = plan.seen();
  } else {
    o.rc = Tessella(s, in, out.c_str(), log, env, &o.result);
  }
  o.log = ReadFile(log);
  return o;
}

// Every allocation of a conversion with labels (TrueType and stroke font),
// fills and Polyline Encoded made to fail in turn, from the first to the
// last: the run either ends as it would have, or tells "Error allocating"
// and leaves nothing half-written: never a crash (and, under
// AddressSanitizer, never a leak).
TEST(FailureInjection, EveryAllocationOfAConversionMayFail) {
  for (bool strokeFont : {false, true}) {
  SCOPED_TRACE(strokeFont ? "labels in the stroke font" : "labels in a TrueType font");
  TempDir dir;
  dir.Write("p.plt", std::string(kPlot) + "PG;PE" + std::string(3000, '?') + ";");
  SettingsSet s = DefaultSettings();
  s.InitialCmdBuffer = 64;  // so that the command buffer grows as well
  s.Set(MultiplePages, true);
  s.Set(DrawChars, strokeFont);

  size_t total = 0;
  const std::function<bool(size_t, size_t)> none = [](size_t, size_t) { return false; };
  Outcome clean = Convert(dir, s, NoOneToTell(), &none, &total);
  ASSERT_EQ(clean.rc, 1);
  ASSERT_TRUE(clean.result.metafileOk);
  ASSERT_GT(total, 50u);

  size_t told = 0, logged = 0, whole = 0;
  const int descriptors = OpenDescriptors();
  for (size_t n = 0; n < total; ++n) {
    SCOPED_TRACE("failing allocation " + std::to_string(n) + " of " + std::to_string(total));
    for (const std::string& name : dir.List())
      if (name != "p.plt") std::remove(dir.File(name).c_str());
    test::CollectNotices notices;
    const std::function<bool(size_t, size_t)> nth = [n](size_t index, size_t) { return index == n; };
    Outcome o = Convert(dir, s, notices, &nth);
    bool allocating = false;
    for (const std::string& t : notices.texts) allocating |= t.rfind("Error allocating ", 0) == 0;
    for (const std::string& name : dir.List()) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    EXPECT_EQ(OpenDescriptors(), descriptors);
    if (o.rc == 0) {
      // The run could not go on: it said so, and what it had not finished
      // is gone; what it had (pages, a log closed before) is whole.
      EXPECT_TRUE(allocating);
      if (FileExists(dir.File("p.log"))) {
        EXPECT_NE(ReadFile(dir.File("p.log")).find("Statistics:"), std::string::npos);
      }
      for (const std::string& page : o.result.metafiles) EXPECT_TRUE(ValidEmf(ReadFile(page))) << page;
      told++;
    } else if (o.log.find("Error: Failed to allocate ") != std::string::npos) {
      // A command could not get its memory: the run ended there, with what
      // was drawn so far closed and framed.
      EXPECT_TRUE(allocating);
      EXPECT_NE(o.log.find("Tessella aborting. Sorry!"), std::string::npos);
      EXPECT_NE(o.log.find("Statistics:"), std::string::npos);
      // Every page written is whole; a page that was being closed when
      // memory ran out is not there at all.
      for (const std::string& page : o.result.metafiles) EXPECT_TRUE(ValidEmf(ReadFile(page))) << page;
      logged++;
    } else {
      // Somebody had a way round it (an arc instead of chords, say), or the
      // failure hit nothing that mattered: the run finished, and said
      // nothing of memory.
      EXPECT_FALSE(allocating);
      EXPECT_TRUE(o.result.metafileOk);
      whole++;
    }
  }
  std::printf("allocations of the conversion: %zu; run ended and told: %zu, ended by a command: %zu, finished: %zu\n",
              total, told, logged, whole);
  }
}

TEST(FailureInjection, ABufferThatCannotGrowEndsTheRunWithItsMessage) {
  TempDir dir;
  dir.Write("p.plt", "PD1,1;PE" + std::string(5000, '?') + ";PD2,2;");
  SettingsSet s = DefaultSettings();
  test::CollectNotices notices;
  const std::function<bool(size_t, size_t)> buffer = [](size_t, size_t size) { return size == 2048; };
  Outcome o = Convert(dir, s, notices, &buffer);
  EXPECT_EQ(o.rc, 1);
  EXPECT_TRUE(o.result.metafileOk);
  const std::string end = kLineEnd;
  EXPECT_NE(o.log.find("Error: Failed to allocate 2048 bytes of memory." + end + "       Tessella aborting. Sorry!" + end),
            std::string::npos)
      << o.log;
  ASSERT_EQ(notices.texts.size(), 2u);  // and the closing question
  EXPECT_EQ(notices.texts[0], "Error allocating 2048 bytes of memory.");
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
