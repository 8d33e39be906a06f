#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "common/gdi/emf_reader.h"
#include "interpreter/input_file.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "platform/progress.h"
#include "resources/string_ids.h"
#include "support/collect_notices.h"
#include "support/conversion.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::ConvertForTest;
using test::TempDir;

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

// Converts a plot file in a folder of its own with the output beside it.
struct FileRun {
  TempDir dir;
  test::CollectNotices notices;
  RunResult result;
  int rc = 0;
  std::string log;

  FileRun(const std::string& plot, const SettingsSet& s = DefaultSettings(), Progress* progress = nullptr) {
    std::string in = dir.Write("c.plt", plot);
    FixedClock clock(1700000000);
    RunEnvironment env;
    env.clock = &clock;
    env.progress = progress;
    env.notices = &notices;
    rc = Tessella(s, in, dir.File("c.emf").c_str(), dir.File("c.log"), env, &result);
    log = test::ReadLogFile(dir.File("c.log"));
  }
};

TEST(Run, AnEmptyFileGivesAFramedMetafileAndNoQuestion) {
  FileRun run("");
  EXPECT_EQ(run.rc, 1);
  EXPECT_TRUE(run.result.metafileOk);
  EXPECT_EQ(run.dir.List(), (std::vector<std::string>{"c.emf", "c.log", "c.plt"}));
  ASSERT_EQ(run.notices.texts.size(), 1u);
  EXPECT_EQ(run.notices.texts[0], "File '" + run.dir.File("c.plt") + "' was converted into '" +
                                      run.dir.File("c.emf") + "' and copied to the Windows clipboard.");
  EXPECT_NE(run.log.find("Conversion completed at "), std::string::npos);
  EXPECT_NE(run.log.find("* Commands executed:  1\r\n"), std::string::npos);  // the implied IN
}

TEST(Run, LogHeaderAndStatistics) {
  SettingsSet s = DefaultSettings();
  s.Set(IgnorePC, true);
  auto c = ConvertForTest("PD0,0,11880,8400;", s);
  const std::string& log = c.log;
  EXPECT_EQ(log.rfind("Tessella 5.4.1110 - HP-GL Plot file conversion utility\r\n", 0), 0u);
  EXPECT_NE(log.find("\r\n\r\nInformation:   PC (Pen Color) commands will be ignored\r\n\r\nInput File:    "),
            std::string::npos);
  EXPECT_NE(log.find("Output File:   *memory*\r\nStarted at:    "), std::string::npos);
  EXPECT_NE(log.find("* Dimensions:         Xmin=0, Ymin=0, Xmax=11880, Ymax=8400\r\n"), std::string::npos);
  EXPECT_NE(log.find("* Dimensions (in mm): 1188. mm wide, 840. mm high\r\n"), std::string::npos);
  EXPECT_NE(log.find("* Longest command:    16 characters\r\n"), std::string::npos);
  EXPECT_NE(log.find("* Metafile size:      "), std::string::npos);
  EXPECT_EQ(Count(log, "\n"), Count(log, "\r\n"));  // every line ends CR LF

  // The longest command is measured as its handler sees it: up to a NUL,
  // which only labels, comments, PE and escapes can hold.
  auto nul = ConvertForTest(std::string("PD0,0;LBab\0cdefghijklmnopqrstuvwxyz\3PA1,1;", 42), s);
  EXPECT_NE(nul.log.find("* Longest command:    5 characters\r\n"), std::string::npos) << nul.log;

  s.Set(HighResolution, true);
  auto h = ConvertForTest("PD0,0,11880,8400;", s);
  EXPECT_NE(h.log.find("* Dimensions (in mm): 118.8 mm wide, 84. mm high\r\n"), std::string::npos);
}

TEST(Run, CommandsBeforeInitialiseAreRefused) {
  SettingsSet s = DefaultSettings();
  s.Set(AssumeIN, false);
  auto c = ConvertForTest("PA0,0;PD;IN;PD;", s);
  EXPECT_EQ(Count(c.log, "Warning: Device not initialised: '"), 2u);
  EXPECT_NE(c.log.find("Warning: Device not initialised: 'PA0,0' at offset 0x0\r\n"), std::string::npos);
  EXPECT_NE(c.log.find("Warning: Device not initialised: 'PD' at offset 0x6\r\n"), std::string::npos);
  EXPECT_NE(c.log.find("* Commands executed:  2\r\n"), std::string::npos);
  EXPECT_NE(c.log.find("* Commands ignored:   2\r\n"), std::string::npos);
}

TEST(Run, LaserJetModeWaitsForTheEscape) {
  SettingsSet s = DefaultSettings();
  s.Set(LJMode, true);
  s.Set(AssumeIN, false);
  auto c = ConvertForTest("PA1,1;\x1b" "E\x1b%-1BIN;PD;PU;\x1b%0APD;", s);
  EXPECT_NE(c.log.find("Warning: Device not in HP-GL mode. Ignoring 'PA1,1' at offset 0x0"), std::string::npos);
  EXPECT_NE(c.log.find("Warning: Device not in HP-GL mode. Ignoring 'PD' at offset 0x"), std::string::npos);
  EXPECT_EQ(Count(c.log, "not in HP-GL mode"), 2u);
}

TEST(Run, EscapesAndDeviceControl) {
  auto c = ConvertForTest("\x1b&l1O;MC0;MC1;VS;VS10;PG;NR;ZZ1;QL50;EC;");
  EXPECT_EQ(Count(c.log, "' command(s) not implemented: '"), 4u);
  EXPECT_NE(c.log.find("'Merge Control (On)' command(s) not implemented: 'MC1' at offset 0x"), std::string::npos);
  EXPECT_NE(c.log.find("'Velocity Select' command(s) not implemented: 'VS10'"), std::string::npos);
  EXPECT_NE(c.log.find("'Page-Feed' command(s) not implemented: 'PG'"), std::string::npos);
  EXPECT_NE(c.log.find("'Quality Level' command(s) not implemented: 'QL50'"), std::string::npos);
  EXPECT_NE(c.log.find("Error: Unregcognized HP-GL command: 'ZZ1' at offset 0x"), std::string::npos);
  EXPECT_EQ(c.log.find("NR"), std::string::npos);
  // IN, MC0, VS executed; ESC&, MC1, VS10, PG, NR, ZZ, QL, EC ignored.
  EXPECT_NE(c.log.find("* Commands executed:  3\r\n"), std::string::npos);
  EXPECT_NE(c.log.find("* Commands ignored:   8\r\n"), std::string::npos);

  SettingsSet quiet = DefaultSettings();
  quiet.Set(NoNOPWarnings, true);
  auto q = ConvertForTest("MC1;QL50;", quiet);
  EXPECT_EQ(q.log.find("not implemented"), std::string::npos);
  EXPECT_NE(q.log.find("* Commands ignored:   2\r\n"), std::string::npos);
}

TEST(Run, CommentsAndMessagesAreLoggedAndAskToShowTheLog) {
  TempDir dir;
  std::string in = dir.Write("p.plt", "CO\"a;b\";MGhello;");
  test::CollectNotices notices;
  RunEnvironment env;
  env.notices = &notices;
  bool shown = false;
  env.showLog = [&](const std::string&) { shown = true; };
  Tessella(DefaultSettings(), in, dir.File("p.emf").c_str(), dir.File("p.log"), env);
  std::string log = test::ReadLogFile(dir.File("p.log"));
  EXPECT_NE(log.find("Comment: CO\"a;b\"\r\nMessage: hello\r\n"), std::string::npos);
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_EQ(notices.texts[0], "There were warnings generated during the conversion. Do you want to view the log file?");
  EXPECT_FALSE(shown);  // the collector answers No

  test::CollectNotices yes(NoticeAnswer::Yes);
  env.notices = &yes;
  Tessella(DefaultSettings(), in, dir.File("p.emf").c_str(), dir.File("p.log"), env);
  EXPECT_TRUE(shown);
}

TEST(Run, CommandBufferDoublesAndHasALimit) {
  std::string pe = "PE" + std::string(4998, '?') + ";";
  FileRun run(pe);
  EXPECT_EQ(run.result.commandBuffer, 8192u);
  EXPECT_NE(run.log.find("* Longest command:    5000 characters"), std::string::npos);

  std::string huge = "PD" + std::string(2 * 1024 * 1024, '1') + ";PU;";
  FileRun big(huge);
  EXPECT_EQ(big.rc, 1);
  EXPECT_TRUE(big.result.metafileOk);  // what was drawn so far is kept
  EXPECT_NE(big.log.find("Error: A single command may not exceed 1048576 bytes.\r\n"
                         "       A command with 1048576 bytes was found at offset 0x0\r\n"
                         "       Tessella aborting. Sorry!\r\n"),
            std::string::npos)
      << big.log;
  EXPECT_NE(big.log.find("* Malformed commands: 1"), std::string::npos);
}

TEST(Run, MultiplePagesWriteNumberedMetafiles) {
  SettingsSet s = DefaultSettings();
  s.Set(MultiplePages, true);
  FileRun run("PD100,100;PG;PD200,200;PG;PD300,300;", s);
  EXPECT_EQ(run.dir.List(), (std::vector<std::string>{"c-2.emf", "c-3.emf", "c.emf", "c.log", "c.plt"}));
  EXPECT_EQ(run.result.pages, 3);
  EXPECT_EQ(Count(run.log, "\r\nProcessing next page..."), 2u);
  EXPECT_NE(run.log.find("Output File: " + run.dir.File("c-3.emf") + "\r\n"), std::string::npos);
  EXPECT_EQ(Count(run.log, "Conversion completed at "), 3u);
  ASSERT_FALSE(run.notices.texts.empty());
  EXPECT_EQ(run.notices.texts.back(),
            "The selected plot file contained 3 pages. Use the File|Open MetaFile... command (or press "
            "Ctrl+M) to view the images from the previous pages.");
}

// The records of a metafile the run wrote.
std::string DumpFile(const std::string& path) {
  std::string bytes = test::ReadFile(path);
  gdi::EmfReader reader;
  std::string error;
  if (!reader.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &error)) return error;
  return gdi::DumpEmf(reader);
}

TEST(Run, APageBeginsAtItsFirstDrawing) {
  SettingsSet s = DefaultSettings();
  s.Set(MultiplePages, true);
  // pstoedit and plotutils end with PG: no empty second page, no message.
  FileRun trailing("IN;SP1;PD100,100;PU;SP;PG1;", s);
  EXPECT_EQ(trailing.dir.List(), (std::vector<std::string>{"c.emf", "c.log", "c.plt"}));
  EXPECT_EQ(trailing.result.pages, 1);
  EXPECT_TRUE(trailing.result.metafileOk);
  EXPECT_EQ(Count(trailing.log, "Conversion completed at "), 1u);
  EXPECT_EQ(Count(trailing.log, "Processing next page"), 0u);
  for (const std::string& text : trailing.notices.texts) EXPECT_EQ(text.find("pages"), std::string::npos) << text;
  // Two advances with nothing between make one page; what was set after
  // the advance (SC, SP, IN's alignment) holds on the page that begins.
  FileRun twice("IN;SP2;PD100,100;PG;PG;IN;SC0,10,0,10;SP3;PU1,1;PD2,2;", s);
  EXPECT_EQ(twice.dir.List(), (std::vector<std::string>{"c-2.emf", "c.emf", "c.log", "c.plt"}));
  EXPECT_EQ(twice.result.pages, 2);
  std::string second = DumpFile(twice.dir.File("c-2.emf"));
  EXPECT_NE(second.find("EMR_SETTEXTALIGN 0x1e"), std::string::npos) << second;
  EXPECT_NE(second.find("EMR_CREATEPEN 1 style=0 width=12 color=#00ff00"), std::string::npos) << second;
  EXPECT_NE(second.find("EMR_MOVETOEX (1188,840)\nEMR_LINETO (2376,1680)"), std::string::npos) << second;
  EXPECT_EQ(Count(twice.log, "Conversion completed at "), 2u);
}

TEST(Run, CancelEndsTheRunButKeepsTheDrawing) {
  struct CancelAtOnce : NullProgress {
    bool SetPct(int) override { return false; }
  } cancel;
  FileRun run("PD100,100;PD200,200;", DefaultSettings(), &cancel);
  EXPECT_TRUE(run.result.cancelled);
  EXPECT_TRUE(run.result.metafileOk);
  EXPECT_NE(run.log.find("CANCEL: Aborted by the user!\r\n"), std::string::npos);
  EXPECT_NE(run.log.find("Statistics:"), std::string::npos);
}

TEST(Run, ACancelAmidLongPenMotionStopsAtTheCommandItCameAt) {
  // Enough pen motion for many reports; the cancel comes on the fifth, in
  // the middle of a stretch the lane reads in one go.
  struct CancelLater : NullProgress {
    int calls = 0;
    bool SetPct(int) override { return ++calls < 5; }
  } cancel;
  std::string plot = "IN;SP1;";
  for (int i = 0; i < 4000; ++i) plot += (i % 2 ? "PD" : "PU") + std::to_string(i) + ",7;";
  ASSERT_LT(plot.size(), InputFile::kReadAhead) << "one stretch in one read-ahead";
  FileRun run(plot, DefaultSettings(), &cancel);
  EXPECT_TRUE(run.result.cancelled);
  EXPECT_EQ(cancel.calls, 5);
  const size_t at = run.log.find("* Commands executed:  ");
  ASSERT_NE(at, std::string::npos);
  const int executed = std::stoi(run.log.substr(at + 22));
  EXPECT_GT(executed, 100);
  EXPECT_LT(executed, 4002);
  // The implied IN, IN, SP and then every motion until the cancel, each PD
  // a line to its own x: nothing after the cancel is drawn, nothing before
  // it is lost.
  const int motions = executed - 3;
  const std::string drawn = DumpFile(run.dir.File("c.emf"));
  EXPECT_EQ(Count(drawn, "EMR_LINETO"), static_cast<size_t>(motions / 2));
  const int lastDrawn = motions % 2 ? motions - 2 : motions - 1;
  EXPECT_NE(drawn.find("EMR_LINETO (" + std::to_string(lastDrawn) + ",7)"), std::string::npos);
  EXPECT_EQ(drawn.find("EMR_LINETO (" + std::to_string(lastDrawn + 2) + ",7)"), std::string::npos);
}

TEST(Run, FailuresToOpenAndWrite) {
  TempDir dir;
  test::CollectNotices notices;
  RunEnvironment env;
  env.notices = &notices;
  EXPECT_EQ(Tessella(DefaultSettings(), dir.File("missing.plt"), dir.File("m.emf").c_str(),
                     dir.File("m.log"), env),
            0);
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_EQ(notices.captions[0], dir.File("missing.plt"));
  EXPECT_FALSE(test::FileExists(dir.File("m.log")));

  std::string in = dir.Write("p.plt", "PD1,1;");
  RunResult r;
  std::string noFolder = dir.File("no/such/folder/p.emf");
  EXPECT_EQ(Tessella(DefaultSettings(), in, noFolder.c_str(), dir.File("p.log"), env, &r), 1);
  EXPECT_FALSE(r.metafileOk);
  std::string log = test::ReadFile(dir.File("p.log"));
  EXPECT_NE(log.find("CreateEnhMetaFile() failed: "), std::string::npos);
  EXPECT_NE(log.find("Conversion FAILED (MetaFile handle is NULL) at "), std::string::npos);
}

// A front end may supply the recorder of a memory metafile; files keep ours.
TEST(Run, MemoryRecorderFactoryIsUsedForMemoryMetafilesOnly) {
  TempDir dir;
  std::string in = dir.Write("p.plt", "IN;SP1;PD100,100;");
  FixedClock clock(1700000000);
  RunEnvironment env;
  env.clock = &clock;
  env.reference.szlDevice = {1000, 800};
  int calls = 0;
  std::string description;
  env.memoryRecorder = [&](gdi::Objects& objects, const std::string& desc, const gdi::ReferenceDevice& ref) {
    ++calls;
    description = desc;
    EXPECT_EQ(ref.szlDevice.cx, 1000);
    return gdi::EmfRecorder::CreateMemory(objects, desc, ref);
  };
  SettingsSet s = DefaultSettings();
  s.Set(Unattended, true);
  s.Set(NoInfoMessages, true);
  RunResult memory;
  ASSERT_EQ(Tessella(s, in, nullptr, dir.File("m.log"), env, &memory), 1);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(memory.metafileOk);
  EXPECT_NE(description.find(std::string("\0p.plt\0\0", 8)), std::string::npos)
      << "the run's description, with the plot's name";
  // The factory's recorder made the result: the same bytes as our own run.
  RunEnvironment plain;
  plain.clock = &clock;
  plain.reference = env.reference;
  RunResult ours;
  ASSERT_EQ(Tessella(s, in, nullptr, dir.File("o.log"), plain, &ours), 1);
  EXPECT_EQ(memory.memoryMetafile, ours.memoryMetafile);

  RunResult file;
  ASSERT_EQ(Tessella(s, in, dir.File("p.emf").c_str(), dir.File("p.log"), env, &file), 1);
  EXPECT_EQ(calls, 1) << "a metafile written to a file";
  EXPECT_TRUE(file.metafileOk);

  // A factory that cannot make one fails the run the way a failed create does.
  env.memoryRecorder = [](gdi::Objects&, const std::string&, const gdi::ReferenceDevice&) {
    return std::unique_ptr<gdi::EmfRecorder>();
  };
  RunResult failed;
  EXPECT_EQ(Tessella(s, in, nullptr, dir.File("f.log"), env, &failed), 1);
  EXPECT_FALSE(failed.metafileOk);
  EXPECT_TRUE(failed.memoryMetafile.empty());
  EXPECT_NE(test::ReadFile(dir.File("f.log")).find("CreateEnhMetaFile() failed: "), std::string::npos);
}

TEST(Run, MeasureOnlyWritesNothing) {
  SettingsSet s = DefaultSettings();
  s.Set(MeasureOnly, true);
  FileRun run("PD100,200,-50,7;", s);
  EXPECT_EQ(run.dir.List(), (std::vector<std::string>{"c.plt"}));
  EXPECT_EQ(run.result.xMax, 100);
  EXPECT_EQ(run.result.yMin, 0);  // the line drawn from the pen's start at the origin
  EXPECT_TRUE(run.notices.texts.empty());
}

TEST(Run, ColourFileHoldsThePens) {
  SettingsSet s = DefaultSettings();
  s.Set(WriteColorFile, true);
  FileRun run("PD1,1;", s);
  std::string clr = test::ReadFile(run.dir.File("c.CLR"));
  ASSERT_EQ(clr.size(), 6u + 16 * 4);
  EXPECT_EQ(clr.substr(0, 4), "TSL4");
  EXPECT_EQ(static_cast<unsigned char>(clr[4]), 16);
  EXPECT_EQ(static_cast<unsigned char>(clr[5]), 0);
  // pen 2 is red: 0x000000FF little-endian
  EXPECT_EQ(clr.substr(10, 4), std::string("\xff\x00\x00\x00", 4));
}

// Whether a log says anything is counted, not read from its length: a page
// split is no warning, so a clean plot of two pages is purged like one of
// one page, and the question comes only for what the plot did.
TEST(Run, PurgeLogsAndTheQuestionFollowTheWarningsNotThePages) {
  struct Case {
    const char* plot;
    int pages;
    bool warning;
  } cases[] = {{"PD1,1;", 1, false},
               {"PD1,1;PG;PD2,2;", 2, false},
               {"PD1,1;MC1;", 1, true},
               {"PD1,1;PG;PD2,2;MC1;", 2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plot);
    for (bool purge : {false, true}) {
      SettingsSet s = DefaultSettings();
      s.Set(MultiplePages, true);
      s.Set(PurgeLogs, purge);
      FileRun run(c.plot, s);
      ASSERT_EQ(run.result.pages, c.pages);
      EXPECT_EQ(run.result.pageSplits, c.pages - 1);
      EXPECT_EQ(run.result.warnings, c.warning ? 1u : 0u);
      bool kept = c.warning || !purge;
      EXPECT_EQ(run.result.logKept, kept) << "PurgeLogs " << purge;
      EXPECT_EQ(test::FileExists(run.dir.File("c.log")), kept) << "PurgeLogs " << purge;
      size_t asked = 0;
      for (const Notice& n : run.notices.notices) asked += n.id == IDS_VIEW_LOG_QUESTION;
      EXPECT_EQ(asked, c.warning ? 1u : 0u);
    }
  }
}

TEST(Run, EntriesAreCountedByKind) {
  FileRun run("CO\"note\";MGhi;ZZ;MC1;PD1,1;");
  EXPECT_EQ(run.result.notes, 2u);     // the comment and the message
  EXPECT_EQ(run.result.errors, 1u);    // the unknown command
  EXPECT_EQ(run.result.warnings, 1u);  // the command not implemented
  // A comment alone is worth showing: the question is asked.
  FileRun comment("CO\"only\";");
  ASSERT_EQ(comment.notices.notices.size(), 1u);
  EXPECT_EQ(comment.notices.notices[0].id, static_cast<unsigned>(IDS_VIEW_LOG_QUESTION));
}

// Each run tells its own notices: two runs at once, each with its own, see
// only their own (nothing process-wide carries them).
TEST(Run, TwoRunsInTwoThreadsTellOnlyTheirOwnNotices) {
  TempDir dir;
  std::string asking = dir.Write("a.plt", "PD1,1;CO\"worth a look\";");
  std::string informing = dir.Write("b.plt", "PD1,1;");
  test::CollectNotices a(NoticeAnswer::Yes), b;
  int shownA = 0;
  auto convert = [&](const std::string& in, const std::string& name, test::CollectNotices& notices, int* shown) {
    for (int i = 0; i < 10; ++i) {
      RunEnvironment env;
      env.notices = &notices;
      env.showLog = [shown](const std::string&) { if (shown) ++*shown; };
      Tessella(DefaultSettings(), in, dir.File(name + ".emf").c_str(), dir.File(name + ".log"), env);
    }
  };
  std::thread t1(convert, asking, "a", std::ref(a), &shownA);
  std::thread t2(convert, informing, "b", std::ref(b), nullptr);
  t1.join();
  t2.join();
  ASSERT_EQ(a.notices.size(), 10u);
  ASSERT_EQ(b.notices.size(), 10u);
  for (const Notice& n : a.notices) {
    EXPECT_EQ(n.id, static_cast<unsigned>(IDS_VIEW_LOG_QUESTION));
    EXPECT_EQ(n.args, std::vector<std::string>{dir.File("a.log")});
  }
  for (const Notice& n : b.notices) {
    EXPECT_EQ(n.id, static_cast<unsigned>(IDS_CONVERTED_AND_COPIED));
    EXPECT_EQ(n.args, (std::vector<std::string>{informing, dir.File("b.emf")}));
  }
  EXPECT_EQ(shownA, 10) << "the answer of a's notices reached a's run";
}

TEST(Run, TwoRunsInTwoThreadsDoNotMeet) {
  std::string a, b;
  std::thread t1([&] {
    for (int i = 0; i < 20; ++i) a = ConvertForTest("PD100,100;CO\"one\";").log;
  });
  std::thread t2([&] {
    for (int i = 0; i < 20; ++i) b = ConvertForTest("PD200,200,300,300;").log;
  });
  t1.join();
  t2.join();
  EXPECT_NE(a.find("Comment: CO\"one\""), std::string::npos);
  EXPECT_EQ(b.find("Comment"), std::string::npos);
  EXPECT_NE(b.find("Xmax=300"), std::string::npos);
}

}  // namespace
}  // namespace tsl
