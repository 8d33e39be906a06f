// The command line with every step of every file it writes made to fail in
// turn, and under a real file-size limit: the exit status says so, the user
// hears why, every file under its final name is either the older one or a
// complete new one, and no temporary file is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/gdi/emf_reader.h"
#include "platform/posix/settings_store_file.h"
#include "settings/settings_registry.h"
#include "support/fault_plan.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FaultPlan;
using test::ReadFile;
using test::TempDir;

const char kFull[] = "No space left on device";

std::string Plot() {
  std::string plot = "IN;SP1;PD0,0,4000,3000;SP2;CI1500;SP3;";
  while (plot.size() < 120000) plot += "PD1,1,2000,2000,4000,0;PU;";
  return plot + "ZZ;";
}

bool ValidEmf(const std::string& bytes) {
  gdi::EmfReader reader;
  std::string why;
  return reader.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &why);
}

class CliFailure : public ::testing::Test {
 protected:
  CliFailure() : store(dir.File(".cfg")) {
    SetSettingsStore(&store);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  }
  ~CliFailure() override {
    SetSettingsStore(nullptr);
    unsetenv("SOURCE_DATE_EPOCH");
  }

  int Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "tessella");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return RunCli(static_cast<int>(args.size()), argv.data());
  }

  std::map<std::string, std::string> Snapshot(const std::vector<std::string>& names) {
    std::map<std::string, std::string> m;
    for (const std::string& n : names) m[n] = ReadFile(dir.File(n));
    return m;
  }

  TempDir dir;
  FileSettingsStore store;
};

TEST_F(CliFailure, EveryStepOfEveryOutputOfAConversion) {
  dir.Write("p.plt", Plot());
  const std::vector<std::string> args = {"-B", "-Q", "-T", "-C", "-WPNG", "-WJPG", "-WBMP", dir.File("p.plt")};
  const std::vector<std::string> outputs = {"p.emz", "p.log", "p.CLR", "p.png", "p.jpg", "p.bmp"};
  int steps = 0;
  std::map<std::string, std::string> clean;
  {
    FaultPlan count(test::AnyWriteStep, -1);
    testing::internal::CaptureStderr();
    int status = Cli(args);
    std::string said = testing::internal::GetCapturedStderr();
    ASSERT_EQ(status, 0) << said;
    steps = count.seen();
    clean = Snapshot(outputs);
  }
  ASSERT_GT(steps, 24) << "four steps or more for each of six files";
  for (const auto& [name, bytes] : clean) ASSERT_FALSE(bytes.empty()) << name;
  const std::string cleanEmf = ReadFile(dir.File("p.emf"));
  ASSERT_TRUE(cleanEmf.empty()) << "-T replaced the metafile by its EMZ";

  for (int n = 0; n < steps; ++n) {
    for (const std::string& name : outputs) dir.Write(name, "OLD");
    dir.Write("p.emf", "OLD");
    int status;
    std::string what, said;
    {
      FaultPlan plan(test::AnyWriteStep, n);
      testing::internal::CaptureStderr();
      status = Cli(args);
      said = testing::internal::GetCapturedStderr();
      ASSERT_TRUE(plan.fired());
      what = plan.Describe();
    }
    SCOPED_TRACE("failing the " + what);
    EXPECT_EQ(status, 1);
    // Said, with the reason, as an error of the file.
    EXPECT_NE(said.find("p.plt: error: "), std::string::npos) << said;
    EXPECT_NE(said.find(kFull), std::string::npos) << said;
    // Old or whole, never partial.
    for (const std::string& name : outputs) {
      std::string now = ReadFile(dir.File(name));
      if (now == "OLD") continue;
      if (name == "p.log") {
        EXPECT_NE(now.find("Statistics:"), std::string::npos) << "a partial log";
      } else {
        EXPECT_EQ(now, clean[name]) << name << " is neither the older file nor the complete new one";
      }
    }
    std::string emf = ReadFile(dir.File("p.emf"));
    if (test::FileExists(dir.File("p.emf")) && emf != "OLD") {
      EXPECT_TRUE(ValidEmf(emf));
    }
    std::vector<std::string> names = dir.List();
    names.erase(std::remove(names.begin(), names.end(), ".cfg"), names.end());
    EXPECT_LE(names.size(), 8u) << ::testing::PrintToString(names);
    for (const std::string& name : names)
      EXPECT_TRUE(name == "p.plt" || name == "p.emf" || clean.count(name)) << "left behind: " << name;
  }
}

TEST_F(CliFailure, ExportAfterCompressionReadsTheEmz) {
  dir.Write("p.plt", "IN;SP1;PD0,0,4000,3000;");
  testing::internal::CaptureStderr();
  int status = Cli({"-B", "-Q", "-T", "-WPNG", dir.File("p.plt")});
  std::string said = testing::internal::GetCapturedStderr();
  ASSERT_EQ(status, 0) << said;
  EXPECT_EQ(ReadFile(dir.File("p.png")).substr(1, 3), "PNG");
  EXPECT_FALSE(test::FileExists(dir.File("p.emf")));
}

TEST_F(CliFailure, ExportAndSettingsExportCommands) {
  dir.Write("p.plt", "IN;SP1;PD0,0,4000,3000;");
  ASSERT_EQ(Cli({"-B", "-Q", dir.File("p.plt")}), 0);
  const std::vector<std::vector<std::string>> commands = {
      {"export", dir.File("p.emf"), "--png", "-o", dir.File("out.png")},
      {"export", dir.File("p.emf"), "--jpg", "-o", dir.File("out.jpg")},
      {"export", dir.File("p.emf"), "--bmp", "-o", dir.File("out.bmp")},
      {"export", dir.File("p.emf"), "--svg", "-o", dir.File("out.svg")},
      {"export", dir.File("p.emf"), "--pdf", "-o", dir.File("out.pdf")},
      {"settings", "export", dir.File("out.set")}};
  for (const auto& command : commands) {
    const std::string out = command[1] == "export" ? command[2] : command.back();
    for (FileStep step : {FileStep::Create, FileStep::Write, FileStep::Close, FileStep::Rename}) {
      SCOPED_TRACE(command[0] + " " + out + ": " + test::StepName(step));
      dir.Write(out.substr(out.rfind('/') + 1), "OLD");
      std::vector<std::string> before = dir.List();
      testing::internal::CaptureStderr();
      int status;
      {
        FaultPlan plan(step, out);
        status = Cli(command);
        EXPECT_TRUE(plan.fired());
      }
      std::string err = testing::internal::GetCapturedStderr();
      EXPECT_EQ(status, 1);
      EXPECT_NE(err.find(kFull), std::string::npos) << err;
      EXPECT_EQ(ReadFile(out), "OLD");
      EXPECT_EQ(dir.List(), before);
    }
  }
}

// A real limit on file size, as a full disk gives, on the real program:
// SIGXFSZ must not kill it half-way through a file.
TEST(CliFullDisk, AFileSizeLimitIsReportedAndLeavesNoPartialFile) {
  TempDir dir;
  dir.Write("p.plt", Plot());
  dir.Write("p.emf", "OLD");
  dir.Write("p.png", "OLD");
  auto run = test::RunTessellaLimited({"-B", "-Q", "-C", "-WPNG", "p.plt"}, dir.path(), 64 * 1024);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(dir.File("p.emf")), "OLD");
  EXPECT_EQ(ReadFile(dir.File("p.png")), "OLD");
  for (const std::string& name : dir.List()) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

}  // namespace
}  // namespace tsl
