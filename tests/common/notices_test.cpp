// The text the desktop shows for a notice: the string table's format filled
// with the notice's arguments, never read as a type it is not.
#include <gtest/gtest.h>

#include "platform/notices.h"
#include "resources/string_ids.h"

namespace tsl {
namespace {

TEST(Notices, FormatsAreFilledInOrderAsText) {
  EXPECT_EQ(FillFormat("File '%s' was converted into '%s'.", {"a.plt", "a.emf"}),
            "File 'a.plt' was converted into 'a.emf'.");
  // Numbers arrive as text: a %d or %u takes it as it is, never as an int.
  EXPECT_EQ(FillFormat("%d pages, %u bytes, %lu records", {"3", "4096", "x"}), "3 pages, 4096 bytes, x records");
  EXPECT_EQ(FillFormat("100%% of %.3s", {"abcdef"}), "100% of abc");
  // Missing arguments are empty, extra ones unused; a format cut short is kept.
  EXPECT_EQ(FillFormat("%s and %s", {"one"}), "one and ");
  EXPECT_EQ(FillFormat("none", {"unused"}), "none");
  EXPECT_EQ(FillFormat("cut %", {}), "cut %");
  // A %n or %s in an argument is text, not a conversion.
  EXPECT_EQ(FillFormat("'%s'", {"%n%s"}), "'%n%s'");
}

TEST(Notices, TextOfTheStringTableWithArgumentsAndReason) {
  EXPECT_EQ(NoticeText(MakeNotice(IDS_PAGES_WRITTEN, {"3"})).substr(0, 42),
            "The selected plot file contained 3 pages. ");
  Notice log = MakeSystemNotice(IDS_WRITE_LOG_FAILED, "/x/c.log", "No space left on device");
  EXPECT_EQ(NoticeText(log), "Error writing the log file '/x/c.log'\n\nNo space left on device");
  EXPECT_EQ(NoticeCaption(log), "Tessella");

  // The system's text is cut where the system's buffer would cut it.
  Notice longReason = MakeSystemNotice(IDS_OPEN_FAILED, "p", std::string(300, 'r'));
  EXPECT_EQ(NoticeText(longReason), "Error opening 'p'\n\n" + std::string(127, 'r'));

  // A notice that is the system's text alone, captioned with its file.
  Notice open;
  open.reason = "No such file or directory";
  open.caption = "/x/missing.plt";
  EXPECT_EQ(NoticeText(open), "No such file or directory");
  EXPECT_EQ(NoticeCaption(open), "/x/missing.plt");
}

TEST(Notices, AStringTheTableLacksStillSaysSomething) {
  EXPECT_EQ(NoticeText(MakeNotice(12345, {"arg"})), "An unexpected event #12345 has occurred\n\narg");
  EXPECT_EQ(NoticeText(MakeSystemNotice(12345, "arg", "why")), "An unexpected event #12345 has occurred: arg\n\nwhy");
}

TEST(Notices, NobodyToTellAnswersQuestionsNo) {
  Notice question = MakeNotice(IDS_VIEW_LOG_QUESTION, {}, NoticeIcon::Question);
  question.buttons = NoticeButtons::YesNo;
  EXPECT_EQ(NoOneToTell().Tell(question), NoticeAnswer::No);
  EXPECT_EQ(NoOneToTell().Tell(MakeNotice(IDS_CONVERTED, {"a", "b"})), NoticeAnswer::Ok);
}

}  // namespace
}  // namespace tsl
