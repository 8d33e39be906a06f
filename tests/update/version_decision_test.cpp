// The decision as a function of the status and the body, and the texts of
// the two boxes.
#include <gtest/gtest.h>

#include "update/version_decision.h"

namespace tsl {
namespace {

VersionDecision Decide(const std::string& body, int status = 200) { return DecideVersion(status, body); }

TEST(DecideVersion, OnlyTheRunningReleaseIsCurrent) {
  EXPECT_EQ(Decide("Vmajor=5\r\nVminor=4\r\nVbuild=1110\r\n").verdict, VersionVerdict::Current);
  // Older and newer alike are another release.
  for (const char* body : {"Vmajor=5\r\nVminor=4\r\nVbuild=1109\r\n", "Vmajor=5\r\nVminor=4\r\nVbuild=1111\r\n",
                           "Vmajor=6\r\nVminor=0\r\nVbuild=1\r\n", "Vmajor=5\r\nVminor=3\r\nVbuild=1110\r\n"})
    EXPECT_EQ(Decide(body).verdict, VersionVerdict::Different) << body;
  // The order of the keys and what surrounds them do not matter.
  VersionDecision d = Decide("<p>Vbuild=1200</p><p>Vminor=4</p><p>Vmajor=5</p>RelDate=June 3, 2024\r\n");
  EXPECT_EQ(d.verdict, VersionVerdict::Different);
  EXPECT_EQ(d.release.build, 1200);
  EXPECT_EQ(d.release.relDate, "June 3, 2024");
}

TEST(DecideVersion, AnyStatusButTwoHundredDecidesNothing) {
  for (int status : {0, 204, 301, 404, 500})
    EXPECT_EQ(Decide("Vmajor=5\r\nVminor=4\r\nVbuild=1110\r\n", status).verdict, VersionVerdict::NotOk) << status;
}

TEST(DecideVersion, AKeyCountsOnlyWithTheEqualsSignRightAfterIt) {
  VersionDecision spaced = Decide("Vmajor =5\r\nVminor=4\r\nVbuild=1110\r\nRelDate =today\r\n");
  EXPECT_EQ(spaced.release.major, -1);
  EXPECT_EQ(spaced.release.minor, 4);
  EXPECT_EQ(spaced.release.relDate, "");
  // A later occurrence that is followed by "=" is the one that counts.
  VersionDecision later = Decide("Vbuild is the build. Vmajor=5 Vminor=4 Vbuild=1110");
  EXPECT_EQ(later.verdict, VersionVerdict::Current);
}

TEST(DecideVersion, AReplyWithoutTheThreeNumbersIsNoRelease) {
  for (const char* body : {"", "<html>Welcome to the hotel network</html>", "Vmajor=5\r\nVminor=4\r\n",
                           "Vmajor=5\r\nVminor=4\r\nVbuild=\r\n", "Vmajor=5\r\nVminor=4\r\nVbuild=abc\r\n",
                           "Vmajor=5\r\nVminor=4\r\nVbuild=-1\r\n", "Vmajor=5\r\nVminor=4\r\nVbuild=12345678901\r\n"})
    EXPECT_EQ(Decide(body).verdict, VersionVerdict::Unreadable) << body;
  // Blanks after the "=" are allowed, and a number ends at its last digit.
  VersionDecision d = Decide("Vmajor= 5\r\nVminor=4;\r\nVbuild=1110 (final)\r\n");
  EXPECT_EQ(d.verdict, VersionVerdict::Current);
}

TEST(DecideVersion, TheDateEndsWithItsLineWhateverEndsTheLine) {
  EXPECT_EQ(Decide("RelDate=2024-05-01\r\nVmajor=5").release.relDate, "2024-05-01");
  EXPECT_EQ(Decide("RelDate=2024-05-01\nVmajor=5\n").release.relDate, "2024-05-01");
  EXPECT_EQ(Decide("Vmajor=5 RelDate=1 May 2024").release.relDate, "1 May 2024");
  EXPECT_EQ(Decide("RelDate=2024\x1b[2J-05").release.relDate, "2024") << "no control character gets through";
}

TEST(VersionTexts, TheBoxesSayWhatWasFound) {
  PublishedRelease r;
  r.major = 5;
  r.minor = 4;
  r.build = 1109;
  r.relDate = "2023-11-02";
  Notice question = UpdateAvailableNotice(r);
  EXPECT_EQ(NoticeCaption(question), "Update Available");
  EXPECT_TRUE(question.IsQuestion());
  EXPECT_EQ(question.icon, NoticeIcon::Information);
  EXPECT_EQ(NoticeText(question),
            "A new version of Tessella is available: Version 5.4 Build 1109 was released 2023-11-02.\n\n"
            "You are currently running Version 5.4 Build 1110.\n\n"
            "Would you like to learn more about this new version now?");
  Notice current = UpToDateNotice();
  EXPECT_EQ(NoticeCaption(current), "Tessella is up-to-date");
  EXPECT_FALSE(current.IsQuestion());
  EXPECT_EQ(NoticeText(current), "You are currently running Version 5.4 Build 1110, the current version of Tessella.");
  EXPECT_EQ(VersionText(r), "Version 5.4 Build 1109");
  EXPECT_EQ(ProductPageAddress().compare(0, 7, "http://"), 0) << ProductPageAddress();
}

}  // namespace
}  // namespace tsl
