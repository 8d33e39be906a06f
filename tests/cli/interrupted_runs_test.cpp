// The real program stopped half-way: the older outputs stay as they were,
// no temporary file is left, and the program ends by the signal it got, so
// that a shell (and a loop around it) sees the interrupt.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FileExists;
using test::ReadFile;
using test::TempDir;

std::string Lines(size_t bytes) {
  const std::string unit = "PD1,1,2000,2000,4000,0,1,1;PU;";
  std::string plot = "IN;SP1;";
  plot.reserve(bytes + unit.size());
  while (plot.size() < bytes) plot += unit;
  return plot;
}

// Waits (at most 10 s) until `ready` holds; false when it never did.
bool WaitUntil(const std::function<bool()>& ready) {
  for (int i = 0; i < 2000; ++i) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

bool HasNameStartingWith(const TempDir& dir, const std::string& prefix) {
  for (const std::string& name : dir.List())
    if (name.rfind(prefix, 0) == 0) return true;
  return false;
}

// Nothing of ours is left but what `keep` names.
void ExpectNoLeftovers(const TempDir& dir) {
  for (const std::string& name : dir.List()) {
    EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
    EXPECT_EQ(name.find(".tessella"), std::string::npos) << name;
  }
}

TEST(InterruptedRuns, AConversionStoppedLeavesTheOlderOutputs) {
  TempDir dir;
  dir.Write("big.plt", Lines(48u << 20));
  for (int sig : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(sig == SIGINT ? "SIGINT" : "SIGTERM");
    dir.Write("big.emf", "OLD");
    dir.Write("big.log", "OLD LOG");
    int pid = test::StartTessella({"big.plt"}, dir.path());
    // Signalled once this run is writing its metafile.
    const std::string temp = "big.emf.tmp-" + std::to_string(pid) + "-";
    ASSERT_TRUE(WaitUntil([&] { return HasNameStartingWith(dir, temp); })) << "the conversion never started writing";
    kill(pid, sig);
    int status = -1;
    EXPECT_EQ(test::WaitForSignal(pid, &status), sig) << "exited with " << status;
    EXPECT_EQ(ReadFile(dir.File("big.emf")), "OLD");
    EXPECT_EQ(ReadFile(dir.File("big.log")), "OLD LOG");
    ExpectNoLeftovers(dir);
  }
}

TEST(InterruptedRuns, AKilledConversionLeavesNoFileUnderTheFinalName) {
  TempDir dir;
  dir.Write("big.plt", Lines(48u << 20));
  int pid = test::StartTessella({"big.plt"}, dir.path());
  const std::string temp = "big.emf.tmp-" + std::to_string(pid) + "-";
  ASSERT_TRUE(WaitUntil([&] { return HasNameStartingWith(dir, temp); }));
  kill(pid, SIGKILL);
  EXPECT_EQ(test::WaitForSignal(pid), SIGKILL);
  EXPECT_FALSE(FileExists(dir.File("big.emf")));
  EXPECT_FALSE(FileExists(dir.File("big.log")));
}

TEST(InterruptedRuns, ARasterExportStopsAtOnceAndWritesNothing) {
  TempDir dir;
  // Long lines at a large size: seconds of rendering, the metafile in
  // a fraction of that.
  dir.Write("lines.plt", Lines(512u << 10));
  dir.Write("lines.png", "OLD");
  int pid = test::StartTessella({"-WPNG:6000", "lines.plt"}, dir.path());
  ASSERT_TRUE(WaitUntil([&] { return FileExists(dir.File("lines.emf")); }));
  auto signalled = std::chrono::steady_clock::now();
  kill(pid, SIGINT);
  EXPECT_EQ(test::WaitForSignal(pid), SIGINT);
  EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(5));
  EXPECT_EQ(ReadFile(dir.File("lines.png")), "OLD");
  EXPECT_FALSE(FileExists(dir.File("lines.emf")));  // there was none before
  ExpectNoLeftovers(dir);
}

TEST(InterruptedRuns, AVectorExportLeavesNoTemporaryFile) {
  TempDir dir;
  dir.Write("lines.plt", Lines(2u << 20));
  ASSERT_EQ(test::RunTessella({"lines.plt"}, dir.path()).status, 0);
  int pid = test::StartTessella({"export", "lines.emf", "--svg", "-o", "out.svg"}, dir.path());
  const std::string temp = "out.svg.tmp-" + std::to_string(pid) + "-";
  ASSERT_TRUE(WaitUntil([&] { return HasNameStartingWith(dir, temp) || FileExists(dir.File("out.svg")); }));
  kill(pid, SIGTERM);
  int signal = test::WaitForSignal(pid);
  // A machine fast enough may have finished; then there is nothing to see.
  if (signal == SIGTERM) {
    EXPECT_FALSE(FileExists(dir.File("out.svg")));
  }
  ExpectNoLeftovers(dir);
}

}  // namespace
}  // namespace tsl
