// Real producers writing HP-GL to standard output, piped through the real
// program: gnuplot into a metafile on standard output and into our own
// --dump, plotutils' graph into a PNG.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>

#include "support/cli_samples.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::BigEndian32;
using test::LittleEndian32;

using test::ReadFile;
using test::TempDir;

bool Installed(const char* program) {
  for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
    if (access((std::string(dir) + program).c_str(), X_OK) == 0) return true;
  return false;
}

TEST(Pipeline, GnuplotThroughTheCommandLineIntoItsOwnDump) {
  if (!Installed("gnuplot")) GTEST_SKIP() << "gnuplot is not installed (scripts/setup.sh installs it)";
  TempDir dir;
  const std::string t = "'" + test::TessellaBinary() + "'";
  auto run = test::RunShell("set -o pipefail; gnuplot -e 'set terminal hpgl; plot sin(x) with lines' | " + t +
                                " - -o - | " + t + " --dump -",
                            dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("EMR_HEADER", 0), 0u) << run.out.substr(0, 200);
  EXPECT_NE(run.out.find("stdin\\0\\0\""), std::string::npos);  // the picture is named after its source
  EXPECT_GT(std::count(run.out.begin(), run.out.end(), '\n'), 100);
  EXPECT_NE(run.out.find("EMR_POLYLINE"), std::string::npos);
  EXPECT_NE(run.out.find("EMR_EOF"), std::string::npos);
  EXPECT_EQ(run.err, "");
  // Nothing was written beside anything.
  EXPECT_TRUE(dir.List().empty() || dir.List() == std::vector<std::string>{".config"});
}

TEST(Pipeline, PlotutilsGraphIntoAPng) {
  if (!Installed("graph")) GTEST_SKIP() << "plotutils is not installed (scripts/setup.sh installs it)";
  TempDir dir;
  const std::string t = "'" + test::TessellaBinary() + "'";
  auto run = test::RunShell("set -o pipefail; echo 0 0 1 1 2 0 3 1 4 0 | graph -T hpgl | " + t +
                                " --png=600 - -o out.png",
                            dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  std::string png = ReadFile(dir.File("out.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(BigEndian32(png, 16), 600u);
  // Only the picture asked for: no metafile, no log beside.
  EXPECT_EQ(dir.List(), std::vector<std::string>{"out.png"});
}

}  // namespace
}  // namespace tsl
