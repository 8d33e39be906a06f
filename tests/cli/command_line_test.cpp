// The real `tessella` program on temporary folders: files, exit codes,
// messages.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/cli_samples.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::BigEndian32;
using test::LittleEndian32;

using test::FileExists;
using test::ReadFile;
using test::RunTessella;
using test::TempDir;

const char* const kPlot = test::kSamplePlot;

TEST(CommandLine, UsageHelpAndVersion) {
  TempDir dir;
  EXPECT_EQ(RunTessella({}, dir.path()).status, 2);
  auto bogus = RunTessella({"--bogus"}, dir.path());
  EXPECT_EQ(bogus.status, 2);
  EXPECT_NE(bogus.err.find("unknown option '--bogus'"), std::string::npos);
  auto help = RunTessella({"--help"}, dir.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("-WPNG"), std::string::npos);
  EXPECT_EQ(RunTessella({"-H"}, dir.path()).status, 0);
  auto version = RunTessella({"--version"}, dir.path());
  EXPECT_EQ(version.out, "tessella 5.4.1110\n");
  EXPECT_EQ(RunTessella({"-j", "0", "a.plt"}, dir.path()).status, 2);
  EXPECT_EQ(RunTessella({"--set"}, dir.path()).status, 2);
  EXPECT_EQ(RunTessella({"--set", "No such set", "a.plt"}, dir.path()).status, 2);
}

TEST(CommandLine, ConvertsBesideTheSourceAndReportsFailures) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  dir.Write("b.plt", kPlot);
  dir.Write("x.emf", "not converted");
  auto run = RunTessella({"-B", "a.plt", "-Q", "b.plt", "missing.plt", "x.emf"}, dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(FileExists(dir.File("a.emf")));
  EXPECT_TRUE(FileExists(dir.File("b.emf")));
  EXPECT_TRUE(FileExists(dir.File("a.log")));
  EXPECT_NE(run.err.find("tessella: missing.plt: error: No such file or directory"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("tessella: x.emf: error: a metafile, log or bitmap is not a plot file"), std::string::npos);
  EXPECT_EQ(run.err.find("a.plt"), std::string::npos);  // nothing to say about a file that converted
  EXPECT_EQ(ReadFile(dir.File("x.emf")), "not converted");

  auto ok = RunTessella({"a.plt", "b.plt"}, dir.path());
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.err, "");  // quiet on success when no terminal listens
}

TEST(CommandLine, FoldersConvertTheirPlotsInExtensionOrder) {
  TempDir dir;
  mkdir(dir.File("plots").c_str(), 0755);
  mkdir(dir.File("empty").c_str(), 0755);
  dir.Write("plots/b.hpg", kPlot);
  dir.Write("plots/a.HGL", kPlot);
  dir.Write("plots/c.PLT", kPlot);
  dir.Write("plots/notes.txt", "not a plot");
  auto run = RunTessella({"-B", "plots"}, dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* emf : {"plots/a.emf", "plots/b.emf", "plots/c.emf"}) EXPECT_TRUE(FileExists(dir.File(emf))) << emf;
  EXPECT_FALSE(FileExists(dir.File("plots/notes.emf")));

  auto empty = RunTessella({"empty"}, dir.path());
  EXPECT_EQ(empty.status, 1);
  size_t first = empty.err.find("tessella: empty: error: no plot files (.plt, .hgl, .hpg, .hpgl, .hp, .hp2, .plo, .prn)");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(empty.err.find("tessella:", first + 1), std::string::npos);  // reported once
}

TEST(CommandLine, PatternsTheShellDidNotExpand) {
  TempDir dir;
  dir.Write("p1.plt", kPlot);
  dir.Write("p2.plt", kPlot);
  auto run = RunTessella({"-B", "*.plt"}, dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(FileExists(dir.File("p1.emf")));
  EXPECT_TRUE(FileExists(dir.File("p2.emf")));
  EXPECT_EQ(RunTessella({"-B", "*.hgl"}, dir.path()).status, 1);
}

TEST(CommandLine, AutomaticExportsAndPurge) {
  TempDir dir;
  dir.Write("x.plt", kPlot);
  auto png = RunTessella({"-B", "-WPNG:1024", "x.plt"}, dir.path());
  ASSERT_EQ(png.status, 0) << png.err;
  std::string p = ReadFile(dir.File("x.png"));
  ASSERT_GT(p.size(), 24u);
  EXPECT_EQ(BigEndian32(p, 16), 1024u);  // IHDR width
  EXPECT_NEAR(BigEndian32(p, 20), 768.0, 8.0);  // the drawing's 4:3 proportions give the height
  ASSERT_EQ(RunTessella({"-B", "-WPNG:300", "-WJPG:500", "-WBMP", "x.plt"}, dir.path()).status, 0);
  std::string b = ReadFile(dir.File("x.bmp"));
  ASSERT_GT(b.size(), 26u);
  EXPECT_EQ(LittleEndian32(b, 18), 800);  // each format keeps the width given with it
  EXPECT_EQ(BigEndian32(ReadFile(dir.File("x.png")), 16), 300u);
  EXPECT_TRUE(FileExists(dir.File("x.jpg")));

  TempDir d2;
  d2.Write("x.plt", kPlot);
  ASSERT_EQ(RunTessella({"-B", "-WBMP", "x.plt"}, d2.path()).status, 0);
  EXPECT_EQ(LittleEndian32(ReadFile(d2.File("x.bmp")), 18), 800);
  ASSERT_EQ(RunTessella({"-B", "-WBMP1024", "x.plt"}, d2.path()).status, 0);
  EXPECT_EQ(LittleEndian32(ReadFile(d2.File("x.bmp")), 18), 1024);

  TempDir d3;
  d3.Write("x.plt", kPlot);
  ASSERT_EQ(RunTessella({"-B", "-X", "x.plt"}, d3.path()).status, 0);
  EXPECT_TRUE(FileExists(d3.File("x.emf")));  // no export before -X: the metafile stays
  TempDir d4;
  d4.Write("x.plt", kPlot);
  ASSERT_EQ(RunTessella({"-B", "-WPNG", "-X", "x.plt"}, d4.path()).status, 0);
  EXPECT_FALSE(FileExists(d4.File("x.emf")));
  EXPECT_TRUE(FileExists(d4.File("x.png")));
}

TEST(CommandLine, MeasureOnlyPrintsASummaryAndWritesNothing) {
  TempDir dir;
  dir.Write("m.plt", "IN;PD0,0,4000,3000;");
  auto run = RunTessella({"-E", "m.plt"}, dir.path());
  EXPECT_EQ(run.status, 0);
  // Both sizes, each named: the plot's (0.025 mm a unit) and the
  // metafile's (0.1 mm a unit), which is what the log says.
  EXPECT_EQ(run.out,
            "m.plt: Xmin=0, Ymin=0, Xmax=4000, Ymax=3000 (plot: 100. mm wide, 75. mm high; metafile: 400. mm wide, "
            "300. mm high); 3 executed, 0 ignored, 0 malformed\n");
  EXPECT_EQ(dir.List(), std::vector<std::string>{"m.plt"});
  ASSERT_EQ(RunTessella({"-B", "m.plt"}, dir.path()).status, 0);
  EXPECT_NE(test::ReadLogFile(dir.File("m.log")).find("* Dimensions (in mm): 400. mm wide, 300. mm high\r\n"),
            std::string::npos);
}

TEST(CommandLine, PathsLongerThan260CharactersAreKeptWhole) {
  TempDir dir;
  std::string folder = std::string(100, 'd') + "/" + std::string(100, 'e') + "/" + std::string(100, 'f');
  ASSERT_EQ(system(("mkdir -p " + dir.File(folder)).c_str()), 0);
  std::string plot = folder + "/" + std::string(120, 'x') + ".plt";
  dir.Write(plot, kPlot);
  ASSERT_GT(dir.File(plot).size(), 260u);
  auto run = RunTessella({"-B", plot}, dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(FileExists(dir.File(folder + "/" + std::string(120, 'x') + ".emf")));
}

TEST(CommandLine, SideFilesAndOutputFolder) {
  TempDir dir;
  dir.Write("s.plt", kPlot);
  mkdir(dir.File("out").c_str(), 0755);
  auto run = RunTessella({"-B", "-T", "-C", "-Z", "--output-dir", "out", "s.plt"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(FileExists(dir.File("out/s.emz")));
  EXPECT_TRUE(FileExists(dir.File("out/s.CLR")));
  EXPECT_FALSE(FileExists(dir.File("out/s.log")));  // -Z: nothing to report
  EXPECT_FALSE(FileExists(dir.File("s.emf")));
}

TEST(CommandLine, PrintingAndWindowSwitchesExplainThemselves) {
  TempDir dir;
  dir.Write("x.plt", kPlot);
  // -PM takes the files for metafiles: a plot file is not one.
  auto pm = RunTessella({"-PM", "--print-to", "x.pdf", "x.plt"}, dir.path());
  EXPECT_NE(pm.status, 0);
  EXPECT_NE(pm.err.find("Error printing 'x.plt'"), std::string::npos) << pm.err;
  EXPECT_FALSE(FileExists(dir.File("x.pdf")));
  auto dde = RunTessella({"-B", "-DDE", "x.plt"}, dir.path());
  EXPECT_EQ(dde.status, 0);
  EXPECT_NE(dde.err.find("-DDE is ignored here"), std::string::npos);
  auto k = RunTessella({"x.plt", "-K"}, dir.path());
  EXPECT_EQ(k.status, 2);  // it would convert nothing and say all went well
  EXPECT_NE(k.err.find("-K"), std::string::npos);
}

TEST(CommandLine, ReproducibleAndParallelOutputsAreIdentical) {
  TempDir one, two;
  for (TempDir* d : {&one, &two}) {
    mkdir(d->File("f").c_str(), 0755);
    for (int i = 0; i < 200; ++i)
      d->Write("f/p" + std::to_string(i) + ".plt", std::string(kPlot) + "PA" + std::to_string(i * 7) + ",99;PD;CO\"x\";");
  }
  std::map<std::string, std::string> env = {{"SOURCE_DATE_EPOCH", "1700000000"}};
  auto serial = RunTessella({"-B", "-j", "1", "f"}, one.path(), env);
  auto parallel = RunTessella({"-B", "--jobs=2", "f"}, two.path(), env);
  ASSERT_EQ(serial.status, 0) << serial.err;
  ASSERT_EQ(parallel.status, 0) << parallel.err;
  for (int i = 0; i < 200; ++i) {
    for (const char* ext : {".emf", ".log"}) {
      std::string name = "f/p" + std::to_string(i) + ext;
      std::string a = ReadFile(one.File(name)), b = ReadFile(two.File(name));
      ASSERT_FALSE(a.empty()) << name;
      ASSERT_EQ(a, b) << name;
    }
  }
  EXPECT_EQ(serial.err, "");
}

TEST(CommandLine, SubcommandsAndDump) {
  TempDir dir;
  dir.Write("x.plt", kPlot);
  ASSERT_EQ(RunTessella({"-B", "-T", "x.plt"}, dir.path()).status, 0);
  auto dump = RunTessella({"--dump", "x.emz"}, dir.path());
  EXPECT_EQ(dump.status, 0) << dump.err;
  EXPECT_EQ(dump.out.rfind("EMR_HEADER", 0), 0u);
  EXPECT_EQ(RunTessella({"--dump", "nothing.emf"}, dir.path()).status, 1);
  auto settings = RunTessella({"settings", "list"}, dir.path());
  EXPECT_EQ(settings.status, 0) << settings.err;
  auto set = RunTessella({"settings", "set", "Pen1", "RED"}, dir.path());
  EXPECT_EQ(set.status, 0) << set.err;
  auto exported = RunTessella({"export", "x.emz", "--svg"}, dir.path());
  EXPECT_EQ(exported.status, 0) << exported.err;
}

}  // namespace
}  // namespace tsl
