// Each writer with each step of its file made to fail (create, a write,
// close, rename): the failure is reported with the system's reason, the run
// or call says it failed, an older file under the final name is kept as it
// was, and no temporary file is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/gdi/emf_reader.h"
#include "interpreter/tessella.h"
#include "output/emz.h"
#include "output/raster_export.h"
#include "output/vector_export.h"
#include "platform/clock.h"
#include "platform/posix/settings_store_file.h"
#include "settings/settings_file.h"
#include "settings/settings_registry.h"
#include "support/collect_notices.h"
#include "support/fault_plan.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::CollectNotices;
using test::FaultPlan;
using test::FileExists;
using test::ReadFile;
using test::TempDir;

const char kFull[] = "No space left on device";
const std::vector<FileStep> kWriteSteps = {FileStep::Create, FileStep::Write, FileStep::Close, FileStep::Rename};

// A plot whose metafile takes several writes.
std::string BigPlot() {
  std::string plot = "IN;SP1;";
  while (plot.size() < 200000) plot += "PD1,1,2000,2000,4000,0;PU;";
  return plot + "ZZ;";  // one warning, so that the log is kept and asked about
}

bool ValidEmf(const std::string& bytes) {
  gdi::EmfReader reader;
  std::string why;
  return reader.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &why);
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string all;
  for (const std::string& t : texts) all += t + "\n";
  return all;
}

struct Outcome {
  int rc = 0;
  RunResult result;
  std::string log;
};

Outcome Convert(const TempDir& dir, const SettingsSet& s, Notices& notices, const RunEnvironment& base = {}) {
  FixedClock clock(1700000000);
  RunEnvironment env = base;
  env.clock = &clock;
  env.notices = &notices;
  env.compressEMF = CompressEMF;
  Outcome r;
  r.rc = Tessella(s, dir.File("p.plt"), dir.File("p.emf").c_str(), dir.File("p.log"), env, &r.result);
  r.log = ReadFile(dir.File("p.log"));
  return r;
}

// Writes "OLD" under each name and returns the folder's names.
std::vector<std::string> SeedOld(const TempDir& dir, const std::vector<std::string>& names) {
  for (const std::string& n : names) dir.Write(n, "OLD");
  return dir.List();
}

class StepTest : public ::testing::TestWithParam<FileStep> {
 protected:
  std::string Trace() const { return std::string("failing the ") + test::StepName(GetParam()); }
};

using MetafileFailure = StepTest;
TEST_P(MetafileFailure, TheRunFailsLogsWhyAndKeepsTheOlderMetafile) {
  TempDir dir;
  dir.Write("p.plt", BigPlot());
  std::vector<std::string> before = SeedOld(dir, {"p.emf"});
  CollectNotices notices;
  SettingsSet s = DefaultSettings();
  s.Set(Unattended, true);
  Outcome r;
  {
    FaultPlan plan(GetParam(), ".emf");
    r = Convert(dir, s, notices);
    ASSERT_TRUE(plan.fired()) << Trace();
  }
  EXPECT_EQ(r.rc, 1);
  EXPECT_FALSE(r.result.metafileOk);
  const char* prefix = GetParam() == FileStep::Create ? "CreateEnhMetaFile() failed: " : "CloseEnhMetaFile() failed: ";
  size_t at = r.log.find(prefix);
  ASSERT_NE(at, std::string::npos) << r.log;
  std::string line = r.log.substr(at, r.log.find("\n", at) - at);
  EXPECT_NE(line.find(kFull), std::string::npos) << line;
  EXPECT_NE(r.log.find("Statistics:"), std::string::npos) << "the run still ends its log";
  ASSERT_EQ(r.result.problems.size(), 1u);
  EXPECT_NE(NoticeText(r.result.problems[0]).find(kFull), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("p.emf")), "OLD");
  std::vector<std::string> after = dir.List();
  after.erase(std::remove(after.begin(), after.end(), "p.log"), after.end());
  EXPECT_EQ(after, before) << "no temporary file is left";
}

using LogFailure = StepTest;
TEST_P(LogFailure, NoticeFortyFortyNineAndTheOlderLogStays) {
  TempDir dir;
  dir.Write("p.plt", "IN;SP1;PD0,0,1000,1000;ZZ;");
  std::vector<std::string> before = SeedOld(dir, {"p.log"});
  CollectNotices notices(NoticeAnswer::Yes);
  bool shown = false;
  RunEnvironment env;
  env.showLog = [&](const std::string&) { shown = true; };
  Outcome r;
  {
    FaultPlan plan(GetParam(), ".log");
    r = Convert(dir, DefaultSettings(), notices, env);
    ASSERT_TRUE(plan.fired()) << Trace();
  }
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.result.metafileOk) << "the drawing does not depend on its log";
  EXPECT_FALSE(r.result.logOk);
  EXPECT_FALSE(r.result.logKept);
  ASSERT_FALSE(notices.texts.empty());
  EXPECT_EQ(notices.texts[0], "Error writing the log file '" + dir.File("p.log") + "'\n\n" + kFull);
  // Nobody is offered a log that is not there.
  EXPECT_EQ(Joined(notices.texts).find("warnings generated"), std::string::npos) << Joined(notices.texts);
  EXPECT_FALSE(shown);
  EXPECT_EQ(ReadFile(dir.File("p.log")), "OLD");
  std::vector<std::string> after = dir.List();
  after.erase(std::remove(after.begin(), after.end(), "p.emf"), after.end());
  EXPECT_EQ(after, before);
}

using ColorFileFailure = StepTest;
TEST_P(ColorFileFailure, NoticeFortyFiftySevenAndTheRunGoesOn) {
  TempDir dir;
  dir.Write("p.plt", "IN;SP1;PD0,0,1000,1000;SP3;PD;");
  SeedOld(dir, {"p.CLR"});
  CollectNotices notices;
  SettingsSet s = DefaultSettings();
  s.Set(WriteColorFile, true);
  s.Set(NoInfoMessages, true);
  Outcome r;
  {
    FaultPlan plan(GetParam(), ".CLR");
    r = Convert(dir, s, notices);
    ASSERT_TRUE(plan.fired()) << Trace();
  }
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.result.metafileOk);
  EXPECT_TRUE(r.result.logOk);
  EXPECT_FALSE(r.result.colorFileOk);
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_EQ(notices.texts[0], "Error writing the color file '" + dir.File("p.CLR") + "'\n\n" + kFull);
  EXPECT_EQ(ReadFile(dir.File("p.CLR")), "OLD");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"p.CLR", "p.emf", "p.log", "p.plt"}));
}

using EmzFailure = StepTest;
TEST_P(EmzFailure, TheMetafileIsKeptAndTheLogSaysWhy) {
  TempDir dir;
  dir.Write("p.plt", BigPlot());
  SeedOld(dir, {"p.emz"});
  CollectNotices notices;
  SettingsSet s = DefaultSettings();
  s.Set(AutoEMZ, true);
  s.Set(Unattended, true);
  Outcome r;
  {
    FaultPlan plan(GetParam(), ".emz");
    r = Convert(dir, s, notices);
    ASSERT_TRUE(plan.fired()) << Trace();
  }
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.result.metafileOk);
  EXPECT_FALSE(r.result.emzOk);
  EXPECT_NE(r.log.find("CompressEMF(" + dir.File("p.emf") + ") failed: " + kFull + "\n"), std::string::npos)
      << r.log;
  EXPECT_TRUE(ValidEmf(ReadFile(dir.File("p.emf"))));
  EXPECT_EQ(ReadFile(dir.File("p.emz")), "OLD");
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"p.emf", "p.emz", "p.log", "p.plt"}));
}

INSTANTIATE_TEST_SUITE_P(EachStep, MetafileFailure, ::testing::ValuesIn(kWriteSteps));
INSTANTIATE_TEST_SUITE_P(EachStep, LogFailure, ::testing::ValuesIn(kWriteSteps));
INSTANTIATE_TEST_SUITE_P(EachStep, ColorFileFailure, ::testing::ValuesIn(kWriteSteps));
INSTANTIATE_TEST_SUITE_P(EachStep, EmzFailure, ::testing::ValuesIn(kWriteSteps));

TEST(PageFailure, ANextPageThatCannotBeMadeEndsTheRunAndKeepsTheFirst) {
  TempDir dir;
  dir.Write("p.plt", "IN;SP1;PD0,0,100,100;PG;PD200,200;PG;PD300,300;");
  CollectNotices notices;
  SettingsSet s = DefaultSettings();
  s.Set(MultiplePages, true);
  s.Set(AutoEMZ, true);
  s.Set(Unattended, true);
  Outcome r;
  {
    FaultPlan plan(FileStep::Create, "p-2.emf");
    r = Convert(dir, s, notices);
    ASSERT_TRUE(plan.fired());
  }
  EXPECT_EQ(r.rc, 1);
  EXPECT_FALSE(r.result.metafileOk);
  EXPECT_NE(r.log.find(std::string("CreateEnhMetaFile() failed: ") + kFull), std::string::npos) << r.log;
  // The finished first page was compressed as asked; nothing of page 2.
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"p.emz", "p.log", "p.plt"}));
}

TEST(PageFailure, AnEarlierPageThatCannotBeCompressedFailsTheRun) {
  TempDir dir;
  dir.Write("p.plt", "IN;SP1;PD0,0,100,100;PG;PD200,200;");
  CollectNotices notices;
  SettingsSet s = DefaultSettings();
  s.Set(MultiplePages, true);
  s.Set(AutoEMZ, true);
  s.Set(Unattended, true);
  Outcome r;
  {
    FaultPlan plan(FileStep::Write, "/p.emz");
    r = Convert(dir, s, notices);
    ASSERT_TRUE(plan.fired());
  }
  EXPECT_TRUE(r.result.metafileOk);
  EXPECT_FALSE(r.result.emzOk) << "the last page's success must not hide the first page's failure";
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"p-2.emz", "p.emf", "p.log", "p.plt"}));
}

TEST(EmzCalls, CompressAndUncompressFailAtEveryStepAndLeaveNothing) {
  TempDir dir;
  std::string emf;
  {
    test::CollectNotices quiet;
    dir.Write("p.plt", BigPlot());
    SettingsSet s = DefaultSettings();
    s.Set(Unattended, true);
    ASSERT_TRUE(Convert(dir, s, quiet).result.metafileOk);
    emf = ReadFile(dir.File("p.emf"));
  }
  ASSERT_GT(CompressEMF(dir.File("good.emz"), dir.File("p.emf")), 0);
  for (FileStep step : kWriteSteps) {
    SCOPED_TRACE(test::StepName(step));
    dir.Write("x.emz", "OLD");
    dir.Write("x.emf", "OLD");
    std::vector<std::string> before = dir.List();
    {
      FaultPlan plan(step, "x.emz");
      EXPECT_EQ(CompressEMF(dir.File("x.emz"), dir.File("p.emf")), 0);
      EXPECT_TRUE(plan.fired());
    }
    {
      FaultPlan plan(step, "x.emf");
      EXPECT_EQ(UncompressEMF(dir.File("x.emf"), dir.File("good.emz")), 0);
      EXPECT_TRUE(plan.fired());
    }
    EXPECT_EQ(ReadFile(dir.File("x.emz")), "OLD");
    EXPECT_EQ(ReadFile(dir.File("x.emf")), "OLD");
    EXPECT_EQ(dir.List(), before);
  }
  EXPECT_EQ(UncompressEMF(dir.File("x.emf"), dir.File("good.emz")), static_cast<int64_t>(emf.size()));
  EXPECT_EQ(ReadFile(dir.File("x.emf")), emf);
}

// The picture exported in the tests below.
std::vector<uint8_t> Picture() {
  TempDir dir;
  test::CollectNotices quiet;
  dir.Write("p.plt", "IN;SP1;PD0,0,4000,3000;SP2;CI1500;SP3;PU2000,0;PD0,3000,4000,3000;");
  SettingsSet s = DefaultSettings();
  s.Set(Unattended, true);
  Convert(dir, s, quiet);
  std::string bytes = ReadFile(dir.File("p.emf"));
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

struct RasterCase {
  const char* name;
  int (*write)(Notices&, const ExportRequest&, const SettingsSet&, const std::string&);
  const char* message;
};

TEST(ExportFailure, RasterWritersReportEveryStepWithTheirMessage) {
  std::vector<uint8_t> emf = Picture();
  ASSERT_FALSE(emf.empty());
  ExportRequest req;
  req.metafile = emf.data();
  req.metafileSize = emf.size();
  req.width = 700;
  req.height = 500;
  const RasterCase cases[] = {{"p.bmp", EmfToDibFile, "Error writing bitmap '"},
                              {"p.png", EmfToPngFile, "Error exporting to '"},
                              {"p.jpg", EmfToJpgFile, "Error exporting to '"}};
  for (const RasterCase& c : cases) {
    TempDir dir;
    int writes = 0;
    {
      FaultPlan count(FileStep::Write, c.name, -1);
      ASSERT_EQ(c.write(NoOneToTell(), req, DefaultSettings(), dir.File(c.name)), 1) << c.name;
      writes = count.seen();
    }
    ASSERT_GE(writes, 1) << c.name;
    std::vector<std::pair<FileStep, int>> plans = {{FileStep::Create, 0}, {FileStep::Close, 0},
                                                   {FileStep::Rename, 0}};
    for (int i = 0; i < writes; ++i) plans.push_back({FileStep::Write, i});
    for (const auto& [step, nth] : plans) {
      SCOPED_TRACE(std::string(c.name) + ": " + test::StepName(step) + " " + std::to_string(nth));
      dir.Write(c.name, "OLD");
      CollectNotices notices;
      FaultPlan plan(step, c.name, nth);
      EXPECT_EQ(c.write(notices, req, DefaultSettings(), dir.File(c.name)), 0);
      ASSERT_FALSE(notices.texts.empty());
      const std::string& last = notices.texts.back();
      EXPECT_EQ(last.rfind(std::string(c.message) + dir.File(c.name) + "'\n\n", 0), 0u) << last;
      EXPECT_NE(last.find(kFull), std::string::npos) << last;
      EXPECT_EQ(ReadFile(dir.File(c.name)), "OLD");
      EXPECT_EQ(dir.List(), std::vector<std::string>{c.name});
    }
  }
}

TEST(ExportFailure, VectorWritersReportEveryStep) {
  std::vector<uint8_t> emf = Picture();
  for (VectorFormat f : {VectorFormat::Svg, VectorFormat::Pdf}) {
    const std::string name = f == VectorFormat::Svg ? "p.svg" : "p.pdf";
    TempDir dir;
    std::string error;
    int writes = 0;
    {
      FaultPlan count(FileStep::Write, name, -1);
      ASSERT_TRUE(EmfToVectorFile(emf.data(), emf.size(), f, dir.File(name), 0, &error)) << error;
      writes = count.seen();
    }
    std::vector<std::pair<FileStep, int>> plans = {{FileStep::Create, 0}, {FileStep::Close, 0},
                                                   {FileStep::Rename, 0}};
    for (int i = 0; i < writes; ++i) plans.push_back({FileStep::Write, i});
    for (const auto& [step, nth] : plans) {
      SCOPED_TRACE(name + ": " + test::StepName(step) + " " + std::to_string(nth));
      dir.Write(name, "OLD");
      error.clear();
      FaultPlan plan(step, name, nth);
      EXPECT_FALSE(EmfToVectorFile(emf.data(), emf.size(), f, dir.File(name), 0, &error));
      EXPECT_NE(error.find(kFull), std::string::npos) << error;
      EXPECT_EQ(ReadFile(dir.File(name)), "OLD");
      EXPECT_EQ(dir.List(), std::vector<std::string>{name});
    }
  }
}

TEST(SettingsFailure, ExportAndStoreKeepTheirOlderFiles) {
  TempDir dir;
  FileSettingsStore store(dir.File("cfg"));
  SetSettingsStore(&store);
  {
    CollectNotices quiet;
    ASSERT_EQ(WriteSettingsString(quiet, "Plots", "FontName", "Arial"), 1);
  }
  const std::string storeFile = dir.File("cfg") + "/" + kSettingsFileName;
  const std::string stored = ReadFile(storeFile);
  ASSERT_FALSE(stored.empty());
  const std::vector<std::string> storeNames = test::ListFolder(dir.File("cfg"));
  for (FileStep step : kWriteSteps) {
    SCOPED_TRACE(test::StepName(step));
    dir.Write("all.set", "OLD");
    std::vector<std::string> before = dir.List();
    {
      CollectNotices notices;
      FaultPlan plan(step, "all.set");
      EXPECT_EQ(ExportSettings(notices, dir.File("all.set").c_str()), 0);
      ASSERT_EQ(notices.texts.size(), 1u);
      EXPECT_EQ(notices.texts[0].rfind("Error exporting to '" + dir.File("all.set") + "'", 0), 0u)
          << notices.texts[0];
      EXPECT_NE(notices.texts[0].find(kFull), std::string::npos);
    }
    {
      CollectNotices notices;
      FaultPlan plan(step, kSettingsFileName);
      EXPECT_EQ(WriteSettingsString(notices, "Plots", "FontName", "Courier"), 0);
      ASSERT_FALSE(notices.texts.empty());
      EXPECT_NE(notices.texts[0].find("Error writing"), std::string::npos) << notices.texts[0];
      EXPECT_NE(notices.texts[0].find(kFull), std::string::npos) << notices.texts[0];
    }
    EXPECT_EQ(ReadFile(dir.File("all.set")), "OLD");
    EXPECT_EQ(ReadFile(storeFile), stored);
    EXPECT_EQ(dir.List(), before);
    EXPECT_EQ(test::ListFolder(dir.File("cfg")), storeNames);
  }
  SetSettingsStore(nullptr);
}

}  // namespace
}  // namespace tsl
