// The real program never writes an output over an input, over another
// output of the same command, or over a device or link it was not meant
// for; files are told apart by device and inode, not by their spelling.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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
const char kOther[] = "IN;SP3;PD0,0,100,100;";

bool IsEmf(const std::string& bytes) { return bytes.size() > 44 && bytes.compare(40, 4, " EMF") == 0; }

TEST(OutputIdentity, NoOutputIsWrittenOverAnInputHoweverItIsSpelled) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  mkdir(dir.File("sub").c_str(), 0755);
  ASSERT_EQ(symlink("a.plt", dir.File("link.plt").c_str()), 0);
  ASSERT_EQ(link(dir.File("a.plt").c_str(), dir.File("hard.plt").c_str()), 0);
  for (const char* name : {"-OF:a.plt", "-OF:./a.plt", "-OF:sub/../a.plt", "-OF:link.plt", "-OF:hard.plt"}) {
    auto run = RunTessella({name, "a.plt"}, dir.path());
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_NE(run.err.find("a.plt: error: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("is an input of this command"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(dir.File("a.plt")), kPlot) << name;
  }
  struct stat st;
  ASSERT_EQ(lstat(dir.File("link.plt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  // A plot named like the picture it would be exported to.
  dir.Write("q.png", kPlot);
  auto png = RunTessella({"-WPNG", "q.png"}, dir.path());
  EXPECT_EQ(png.status, 1) << png.err;
  EXPECT_EQ(ReadFile(dir.File("q.png")), kPlot);

  // A metafile exported onto itself.
  ASSERT_EQ(RunTessella({"a.plt"}, dir.path()).status, 0);
  const std::string emf = ReadFile(dir.File("a.emf"));
  ASSERT_TRUE(IsEmf(emf));
  auto self = RunTessella({"export", "a.emf", "--png", "-o", "./a.emf"}, dir.path());
  EXPECT_EQ(self.status, 1) << self.err;
  EXPECT_NE(self.err.find("a.emf"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("a.emf")), emf);
}

TEST(OutputIdentity, TwoFilesNeverShareAnOutput) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  dir.Write("b.plt", kOther);
  auto one = RunTessella({"-OF:x.emf", "a.plt", "b.plt"}, dir.path());
  EXPECT_EQ(one.status, 1);
  EXPECT_NE(one.err.find("b.plt: error: 'x.emf' is also an output of 'a.plt'"), std::string::npos) << one.err;
  // x.emf holds a.plt's drawing: its description names it.
  EXPECT_NE(ReadFile(dir.File("x.emf")).find(std::string("a\0.\0p\0l\0t\0", 10)), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("b.log")));

  mkdir(dir.File("d1").c_str(), 0755);
  mkdir(dir.File("d2").c_str(), 0755);
  dir.Write("d1/a.plt", kPlot);
  dir.Write("d2/a.plt", kOther);
  auto folder = RunTessella({"-O:out", "d1/a.plt", "d2/a.plt"}, dir.path());
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("d2/a.plt: error: 'out/a.emf' is also an output of 'd1/a.plt'"), std::string::npos)
      << folder.err;
  EXPECT_TRUE(FileExists(dir.File("out/a.emf")));  // the folder was made

  mkdir(dir.File("mixed").c_str(), 0755);
  dir.Write("mixed/a.plt", kPlot);
  dir.Write("mixed/a.hgl", kOther);
  auto mixed = RunTessella({"mixed"}, dir.path());
  EXPECT_EQ(mixed.status, 1);
  EXPECT_NE(mixed.err.find("mixed/a.hgl: error: "), std::string::npos) << mixed.err;

  // One file's own outputs: the log would replace the metafile.
  TempDir own;
  own.Write("a.plt", kPlot);
  auto log = RunTessella({"-OF:a.log", "a.plt"}, own.path());
  EXPECT_EQ(log.status, 1);
  EXPECT_NE(log.err.find("'a.log' would receive two outputs"), std::string::npos) << log.err;
  EXPECT_EQ(own.List(), std::vector<std::string>{"a.plt"});
  EXPECT_EQ(RunTessella({"-o", "-", "a.plt", "b.plt"}, dir.path()).status, 1);
}

TEST(OutputIdentity, MeasuringAndCompressingKeepWhatTheySay) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  dir.Write("a.log", "OLD LOG");
  dir.Write("a.emf", "OLD");
  auto measure = RunTessella({"-E", "a.plt"}, dir.path());
  EXPECT_EQ(measure.status, 0);
  EXPECT_EQ(ReadFile(dir.File("a.log")), "OLD LOG");  // "write nothing"
  EXPECT_EQ(ReadFile(dir.File("a.emf")), "OLD");

  // -T replaces the metafile by its EMZ, and says that it is the EMZ that is left.
  auto emz = RunTessella({"-v", "-T", "a.plt"}, dir.path());
  EXPECT_EQ(emz.status, 0) << emz.err;
  EXPECT_FALSE(FileExists(dir.File("a.emf")));
  EXPECT_EQ(ReadFile(dir.File("a.emz")).substr(0, 2), "\x1f\x8b");
  EXPECT_NE(emz.err.find("tessella: a.plt: wrote a.emz and a.log\n"), std::string::npos) << emz.err;
  EXPECT_EQ(emz.err.find("a.emf"), std::string::npos);
  EXPECT_NE(RunTessella({"--help"}, dir.path()).out.find("drawing.emz replaces drawing.emf"), std::string::npos);
}

TEST(OutputIdentity, DevicesAndLinksAreWrittenThroughNeverReplaced) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  // What the user names as the output is written in place.
  auto out = RunTessella({"-OF:/dev/stdout", "a.plt"}, dir.path());
  EXPECT_EQ(out.status, 0) << out.err;
  EXPECT_TRUE(IsEmf(out.out));
  struct stat st;
  ASSERT_EQ(lstat("/dev/stdout", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(RunTessella({"-o", "/dev/null", "a.plt"}, dir.path()).status, 0);

  // Standard input named by its device has no folder to write beside.
  test::RunSetup piped;
  piped.input = kPlot;
  auto in = test::RunTessellaWith({"/dev/stdin"}, dir.path(), piped);
  EXPECT_EQ(in.status, 0) << in.err;
  EXPECT_TRUE(IsEmf(in.out));
  EXPECT_FALSE(FileExists("/dev/stdin.emf"));

  // A link to a file elsewhere: the file is replaced, the link stays.
  mkdir(dir.File("elsewhere").c_str(), 0755);
  dir.Write("elsewhere/real.emf", "OLD");
  ASSERT_EQ(symlink("elsewhere/real.emf", dir.File("out.emf").c_str()), 0);
  ASSERT_EQ(RunTessella({"-OF:out.emf", "a.plt"}, dir.path()).status, 0);
  ASSERT_EQ(lstat(dir.File("out.emf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_TRUE(IsEmf(ReadFile(dir.File("elsewhere/real.emf"))));

  // A derived name that is a pipe, a folder or a link to nothing is left alone.
  ASSERT_EQ(mkfifo(dir.File("a.emf").c_str(), 0600), 0);
  mkdir(dir.File("a.log").c_str(), 0755);
  auto fifo = RunTessella({"a.plt"}, dir.path());
  EXPECT_EQ(fifo.status, 1);
  EXPECT_NE(fifo.err.find("'a.emf' is not a regular file"), std::string::npos) << fifo.err;
  ASSERT_EQ(lstat(dir.File("a.emf").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  dir.Write("b.plt", kPlot);
  ASSERT_EQ(symlink("nowhere/b.emf", dir.File("b.emf").c_str()), 0);
  EXPECT_EQ(RunTessella({"b.plt"}, dir.path()).status, 1);
}

}  // namespace
}  // namespace tsl
