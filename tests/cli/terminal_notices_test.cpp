// What the command line says on stderr for what the core tells: the
// terminal's own words, never the desktop's menus or questions, and the
// files it wrote.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <string>

#include "cli/terminal_notices.h"
#include "resources/string_ids.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

using test::RunTessella;
using test::TempDir;

// Nothing of the desktop: no menu, no key to press, no clipboard, no
// question.
void ExpectTerminalWords(const std::string& err) {
  for (const char* desktop : {"File|", "Ctrl+", "clipboard", "Do you want", "?", "(no)"})
    EXPECT_EQ(err.find(desktop), std::string::npos) << "'" << desktop << "' in:\n" << err;
}

TEST(TerminalNotices, TwoPagesWarningsAndFailuresInTheTerminalsWords) {
  TempDir dir;
  ASSERT_EQ(RunTessella({"settings", "set", "MultiplePages", "1"}, dir.path()).status, 0);

  dir.Write("two.plt", "IN;SP1;PD0,0,100,100;PG;PD200,200;");
  EXPECT_EQ(RunTessella({"two.plt"}, dir.path()).err, "");  // nobody at a terminal: nothing to say
  auto two = RunTessella({"-v", "two.plt"}, dir.path());
  EXPECT_EQ(two.status, 0) << two.err;
  EXPECT_EQ(two.err, "tessella: two.plt: wrote two.emf, two-2.emf and two.log (2 pages)\n");

  dir.Write("warn.plt", "IN;SP1;PD0,0,100,100;MC1;");
  auto warn = RunTessella({"-v", "warn.plt"}, dir.path());
  EXPECT_EQ(warn.status, 0) << warn.err;
  EXPECT_EQ(warn.err,
            "tessella: warn.plt: warning: 1 command could not be converted as written (see warn.log)\n"
            "tessella: warn.plt: wrote warn.emf and warn.log\n");

  // The metafile cannot be written whole: the log says why, and stays.
  std::string big = "IN;SP1;";
  while (big.size() < 200000) big += "PD0,0,4000,3000,0,3000;PU;";
  dir.Write("fail.plt", big);
  auto fail = test::RunTessellaLimited({"fail.plt"}, dir.path(), 64 * 1024);
  EXPECT_EQ(fail.status, 1);
  EXPECT_NE(fail.err.find("tessella: fail.plt: error: the metafile 'fail.emf' could not be written: "),
            std::string::npos)
      << fail.err;

  for (const auto* run : {&two, &warn, &fail}) ExpectTerminalWords(run->err);

  // Unattended: nothing but errors.
  auto quiet = RunTessella({"-B", "-v", "warn.plt", "two.plt"}, dir.path());
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err.find("warning"), std::string::npos) << quiet.err;
}

TEST(TerminalNotices, EachNoticeIsOneLineAboutItsFile) {
  std::ostringstream out;
  TerminalNotices notices("p.plt", &out);
  EXPECT_EQ(notices.Tell(MakeSystemNotice(IDS_WRITE_LOG_FAILED, "p.log", "Disk full")), NoticeAnswer::Ok);
  Notice question = MakeNotice(IDS_VIEW_LOG_QUESTION, {"p.log"}, NoticeIcon::Question);
  question.buttons = NoticeButtons::YesNo;
  EXPECT_EQ(notices.Tell(question), NoticeAnswer::No);
  EXPECT_TRUE(notices.OutcomeWanted());
  // A question the terminal has no words of its own for says what it took.
  Notice other = MakeNotice(IDS_REPROCESS_QUESTION, {}, NoticeIcon::Question);
  other.buttons = NoticeButtons::YesNo;
  EXPECT_EQ(notices.Tell(other), NoticeAnswer::No);
  EXPECT_EQ(out.str(),
            "tessella: p.plt: error: the log 'p.log' could not be written: Disk full\n"
            "tessella: p.plt: Reprocess the HP-GL file with these new settings: no\n");

  // A plot that cannot be opened: the notice is captioned with it.
  std::ostringstream err;
  TerminalNotices none({}, &err);
  Notice open;
  open.reason = "No such file or directory";
  open.caption = "m.plt";
  open.icon = NoticeIcon::Error;
  none.Tell(open);
  EXPECT_EQ(err.str(), "tessella: m.plt: error: No such file or directory\n");
}

}  // namespace
}  // namespace tsl
