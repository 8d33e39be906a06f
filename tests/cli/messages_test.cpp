// What the real program says: "tessella: FILE: error|warning: ..." with
// the severity the exit status has, nothing on success unless a terminal
// listens or -v is given, and switches it cannot take refused, never taken
// for file names.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "support/cli_samples.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::FileExists;
using test::ReadFile;
using test::RunTessella;
using test::TempDir;

const char* const kPlot = test::kSamplePlot;
const char kWarned[] = "IN;SP1;PD0,0,100,100;ZZ1;";  // ZZ is no command

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Messages, UnknownSwitchesAreRefusedNotTakenForFiles) {
  TempDir dir;
  dir.Write("ash.plt", kPlot);
  dir.Write("v", kPlot);
  for (const char* arg : {"-dash.plt", "-Vx", "-S:abc", "-WSVG"}) {
    auto run = RunTessella({arg}, dir.path());
    EXPECT_EQ(run.status, 2) << arg;
    EXPECT_NE(run.err.find(arg), std::string::npos) << run.err;
  }
  EXPECT_FALSE(FileExists(dir.File("ash.emf")));
  EXPECT_FALSE(FileExists(dir.File("v.emf")));
  // -v is --verbose, not a file named "v".
  EXPECT_EQ(RunTessella({"-v"}, dir.path()).err.find("no plot file named") != std::string::npos, true);
  auto after = RunTessella({"ash.plt", "-WPNG"}, dir.path());
  EXPECT_EQ(after.status, 0);
  EXPECT_NE(after.err.find("tessella: warning: -WPNG after the last file applies to no file"), std::string::npos)
      << after.err;
  EXPECT_FALSE(FileExists(dir.File("ash.png")));
}

TEST(Messages, QuietOnSuccessUnlessATerminalListensOrVerbose) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  dir.Write("b.plt", kPlot);
  dir.Write("w.plt", kWarned);
  EXPECT_EQ(RunTessella({"a.plt", "b.plt"}, dir.path()).err, "");

  auto verbose = RunTessella({"-v", "a.plt", "b.plt"}, dir.path());
  EXPECT_NE(verbose.err.find("tessella: a.plt: wrote a.emf and a.log\n"), std::string::npos) << verbose.err;
  EXPECT_NE(verbose.err.find("tessella: b.plt: wrote b.emf and b.log\n"), std::string::npos);
  EXPECT_NE(verbose.err.find("tessella: 2 files converted, 0 failed\n"), std::string::npos);

  test::RunSetup terminal;
  terminal.terminal = true;
  auto tty = test::RunTessellaWith({"a.plt", "b.plt", "missing.plt"}, dir.path(), terminal);
  EXPECT_EQ(tty.status, 1);
  EXPECT_EQ(Count(tty.err, "tessella:"), 2u) << tty.err;  // the failure and one summary line
  EXPECT_NE(tty.err.find("tessella: 2 files converted, 1 failed"), std::string::npos) << tty.err;
  EXPECT_NE(tty.err.find("tessella: missing.plt: error: No such file or directory"), std::string::npos);

  // A metafile is never sent to a terminal.
  test::RunSetup both;
  both.terminalOut = true;
  both.input = kPlot;
  auto binary = test::RunTessellaWith({"-"}, dir.path(), both);
  EXPECT_EQ(binary.status, 1);
  EXPECT_NE(binary.err.find("tessella: -: error: standard output is a terminal"), std::string::npos) << binary.err;
  EXPECT_EQ(binary.err.find("EMF"), std::string::npos);

  // Warnings are said whoever listens, and name the log that holds more.
  auto warned = RunTessella({"w.plt"}, dir.path());
  EXPECT_EQ(warned.status, 0);
  EXPECT_EQ(warned.err, "tessella: w.plt: warning: 1 command could not be converted as written (see w.log)\n");
  EXPECT_NE(ReadFile(dir.File("w.log")).find("ZZ1"), std::string::npos);
  auto quiet = RunTessella({"-q", "w.plt", "missing.plt"}, dir.path());
  EXPECT_EQ(quiet.err, "tessella: missing.plt: error: No such file or directory\n");
}

TEST(Messages, FoldersPatternsAndNamesAtTheLimits) {
  TempDir dir;
  mkdir(dir.File("hpgl").c_str(), 0755);
  mkdir(dir.File("hpgl/deeper").c_str(), 0755);
  dir.Write("hpgl/a.hpgl", kPlot);
  dir.Write("hpgl/b.HP2", kPlot);
  dir.Write("hpgl/notes.txt", "no plot");
  dir.Write("hpgl/deeper/c.plo", kPlot);
  auto folder = RunTessella({"-v", "hpgl"}, dir.path());
  EXPECT_EQ(folder.status, 0) << folder.err;
  EXPECT_TRUE(FileExists(dir.File("hpgl/a.emf")));
  EXPECT_TRUE(FileExists(dir.File("hpgl/b.emf")));
  EXPECT_FALSE(FileExists(dir.File("hpgl/deeper/c.emf")));
  EXPECT_NE(folder.err.find("tessella: hpgl: 1 file skipped (not a plot file)"), std::string::npos) << folder.err;
  ASSERT_EQ(RunTessella({"-r", "hpgl"}, dir.path()).status, 0);
  EXPECT_TRUE(FileExists(dir.File("hpgl/deeper/c.emf")));

  // A name that looks like a pattern but is a file is that file.
  dir.Write("[br].plt", kPlot);
  dir.Write("b.plt", "IN;");
  ASSERT_EQ(RunTessella({"[br].plt"}, dir.path()).status, 0);
  EXPECT_TRUE(FileExists(dir.File("[br].emf")));
  EXPECT_FALSE(FileExists(dir.File("b.emf")));

  // Names at the file system's limit leave room for no suffix.
  std::string name = std::string(251, 'n');
  dir.Write(name + ".plt", kPlot);
  auto longName = RunTessella({name + ".plt"}, dir.path());
  EXPECT_EQ(longName.status, 0) << longName.err;
  EXPECT_TRUE(FileExists(dir.File(name + ".emf")));
  EXPECT_TRUE(FileExists(dir.File(name + ".log")));
}

TEST(Messages, LongFormsAndTheOutputFolder) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  auto run = RunTessella({"a.plt", "--png=320", "--emz", "--output-dir=new/sub", "--log", "a-run.log"}, dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(FileExists(dir.File("new/sub/a.png")));
  EXPECT_TRUE(FileExists(dir.File("new/sub/a.emz")));
  EXPECT_TRUE(FileExists(dir.File("a-run.log")));
  EXPECT_FALSE(FileExists(dir.File("new/sub/a.log")));
  EXPECT_TRUE(ReadFile(dir.File("a-run.log")).find('\r') == std::string::npos);  // LF lines on Linux

  auto measure = RunTessella({"--measure", "a.plt"}, dir.path());
  EXPECT_EQ(measure.status, 0);
  EXPECT_EQ(measure.out.rfind("a.plt: Xmin=", 0), 0u) << measure.out;
  auto help = RunTessella({"--help"}, dir.path());
  for (const char* form : {"--png[=W]", "--jpeg[=W]", "--bmp[=W]", "--emz", "--measure", "--quiet", "--verbose",
                           "-o FILE, --output=FILE", "--log=FILE", "-r, --recursive", ".hpgl"})
    EXPECT_NE(help.out.find(form), std::string::npos) << form;
}

}  // namespace
}  // namespace tsl
