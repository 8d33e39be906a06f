// The real program's exit status tells the truth: a conversion that did not
// happen, a file that is no plot, output that was lost, a switch that cannot
// be carried out.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
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

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}
uint32_t Get32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

TEST(ExitStatus, AnAbortedConversionFailsAndKeepsTheOlderMetafile) {
  TempDir dir;
  dir.Write("long.plt", "IN;SP1;PD0,0,100,100;PE" + std::string(2u << 20, 'A') + ";");
  dir.Write("long.emf", "OLD");
  auto run = RunTessella({"long.plt"}, dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("tessella: long.plt: error: the conversion was aborted"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("(see long.log)"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("long.emf")), "OLD");
  EXPECT_NE(ReadFile(dir.File("long.log")).find("may not exceed 1048576 bytes"), std::string::npos);
}

TEST(ExitStatus, WhatIsNoPlotFails) {
  TempDir dir;
  std::string noise(1u << 20, '\0');
  uint32_t x = 12345;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
  dir.Write("noise.plt", noise);
  dir.Write("empty.plt", "");
  dir.Write("zeros.plt", std::string(2u << 20, '\0'));
  for (const char* name : {"noise.plt", "empty.plt", "zeros.plt"}) {
    auto run = RunTessella({name}, dir.path());
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_NE(run.err.find(std::string(name) + ": error: not a plot file"), std::string::npos) << run.err;
    EXPECT_FALSE(FileExists(dir.File(std::string(name).substr(0, std::string(name).size() - 4) + ".emf")));
  }
}

TEST(ExitStatus, OutputThatCannotBeWrittenFails) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  ASSERT_EQ(RunTessella({"a.plt"}, dir.path()).status, 0);
  test::RunSetup full;
  full.output = "/dev/full";
  for (auto args : std::vector<std::vector<std::string>>{
           {"--dump", "a.emf"}, {"-E", "a.plt"}, {"settings", "show"}, {"--help"}, {"--version"}}) {
    auto run = test::RunTessellaWith(args, dir.path(), full);
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_NE(run.err.find("error: writing to standard output failed: No space left on device"), std::string::npos)
        << run.err;
  }
  // The metafile named but not made.
  auto missing = RunTessella({"-v", "-OF:no/such/folder/x.emf", "a.plt"}, dir.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err.find("converted"), std::string::npos) << missing.err;
  auto tooLong = RunTessella({"-v", "-OF:" + std::string(300, 'n') + ".emf", "a.plt"}, dir.path());
  EXPECT_EQ(tooLong.status, 1);
  EXPECT_NE(tooLong.err.find("File name too long"), std::string::npos) << tooLong.err;
  EXPECT_EQ(tooLong.err.find("converted"), std::string::npos);
}

TEST(ExitStatus, SwitchesThatCannotBeCarriedOutAreUsageErrors) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  for (auto args : std::vector<std::vector<std::string>>{{"a.plt", "-K"},
                                                         {"-S:1e39", "a.plt"},
                                                         {"-S:-5", "a.plt"},
                                                         {"-S:abc", "a.plt"},
                                                         {"-WSVG", "a.plt"},
                                                         {"-WPNG:99999", "a.plt"},
                                                         {"--png=0", "a.plt"},
                                                         {"--bogus", "a.plt"}}) {
    auto run = RunTessella(args, dir.path());
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_NE(run.err.find("Try 'tessella --help'"), std::string::npos);
  }
  EXPECT_EQ(dir.List(), std::vector<std::string>{"a.plt"});
}

TEST(ExitStatus, EveryPageGetsItsPicturesAtTheWidthAskedForEach) {
  TempDir dir;
  ASSERT_EQ(RunTessella({"settings", "set", "MultiplePages", "on"}, dir.path()).status, 0);
  dir.Write("two.plt", "IN;SP1;PD0,0,4000,0,4000,3000,0,3000,0,0;PG;SP2;PD0,0,1000,0,1000,3000,0,3000,0,0;");
  auto run = RunTessella({"-WPNG:300", "-WJPG:500", "two.plt"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  std::string one = ReadFile(dir.File("two.png")), two = ReadFile(dir.File("two-2.png"));
  ASSERT_GT(one.size(), 24u);
  ASSERT_GT(two.size(), 24u);
  EXPECT_EQ(BigEndian32(one, 16), 300u);
  EXPECT_EQ(BigEndian32(two, 16), 300u);
  EXPECT_NE(one, two);  // each page's own drawing
  EXPECT_TRUE(FileExists(dir.File("two.jpg")));
  EXPECT_TRUE(FileExists(dir.File("two-2.jpg")));
  EXPECT_TRUE(FileExists(dir.File("two-2.emf")));
}

TEST(ExitStatus, OurLargestMetafilesOpenAgainAndTooLargeOnesFailAtOnce) {
  TempDir dir;
  dir.Write("a.plt", kPlot);
  ASSERT_EQ(RunTessella({"a.plt"}, dir.path()).status, 0);
  std::string emf = ReadFile(dir.File("a.emf"));
  ASSERT_GT(emf.size(), 108u);
  // The same metafile with a comment of just over 256 MiB before its end,
  // as a file with a hole: past the old limit, and cheap to make.
  const uint32_t comment = (256u << 20) + 4096;
  std::string eof = emf.substr(emf.size() - 20);
  std::string head = emf.substr(0, emf.size() - 20);
  std::string record(12, '\0');
  Put32(record, 0, 70);  // EMR_COMMENT
  Put32(record, 4, comment);
  Put32(record, 8, comment - 12);
  uint64_t total = head.size() + comment + eof.size();
  Put32(head, 48, static_cast<uint32_t>(total));
  Put32(head, 52, Get32(head, 52) + 1);
  int fd = open(dir.File("large.emf").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  std::string front = head + record;
  ASSERT_EQ(pwrite(fd, front.data(), front.size(), 0), static_cast<ssize_t>(front.size()));
  ASSERT_EQ(pwrite(fd, eof.data(), eof.size(), static_cast<off_t>(head.size() + comment)),
            static_cast<ssize_t>(eof.size()));
  close(fd);
  auto dump = RunTessella({"--dump", "large.emf"}, dir.path());
  EXPECT_EQ(dump.status, 0) << dump.err;
  EXPECT_NE(dump.out.find("EMR_EOF"), std::string::npos);
  EXPECT_EQ(RunTessella({"export", "large.emf", "--png", "--width", "64"}, dir.path()).status, 0);

  // Past what an EMF can count: refused from its size, nothing read.
  fd = open(dir.File("huge.emf").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, off_t{5} << 30), 0);
  close(fd);
  auto huge = RunTessella({"export", "huge.emf", "--png"}, dir.path());
  EXPECT_EQ(huge.status, 1);
  EXPECT_NE(huge.err.find("larger than"), std::string::npos) << huge.err;
}

}  // namespace
}  // namespace tsl
