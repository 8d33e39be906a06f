// The logic behind the progress box, the Export As dialog and the help
// requests: shortened paths, the ratio and the side that follows, and the
// page each help request opens.
#include <gtest/gtest.h>

#include <vector>

#include "shell/export_form.h"
#include "shell/help_topics.h"
#include "shell/path_abbreviation.h"

namespace {

using namespace tsl::shell;

TEST(AbbreviatePath, DropsOneFolderAtATimeUntilItFits) {
  std::vector<std::string> tried;
  auto fitsIn = [&](size_t n) {
    return [&tried, n](const std::string& t) {
      tried.push_back(t);
      return t.size() <= n;
    };
  };
  EXPECT_EQ(AbbreviateToFit("C:\\a\\b\\c\\file.plt", fitsIn(100)), "C:\\a\\b\\c\\file.plt");
  tried.clear();
  // Too narrow for anything: every step is tried, then the shortest form stays.
  EXPECT_EQ(AbbreviateToFit("C:\\a\\b\\c\\file.plt", fitsIn(3)), "C:\\...\\file.plt");
  EXPECT_EQ(tried, (std::vector<std::string>{"C:\\a\\b\\c\\file.plt", "C:\\...\\b\\c\\file.plt",
                                             "C:\\...\\c\\file.plt", "C:\\...\\file.plt"}));
  EXPECT_EQ(AbbreviateToFit("C:\\plots\\long folder\\x.plt", fitsIn(24)), "C:\\...\\long folder\\x.plt");
}

TEST(AbbreviatePath, PathsWithoutTwoSeparatorsStayAsTheyAre) {
  auto never = [](const std::string&) { return false; };
  EXPECT_EQ(AbbreviateToFit("file.plt", never), "file.plt");
  EXPECT_EQ(AbbreviateToFit("C:\\file.plt", never), "C:\\file.plt");
  EXPECT_EQ(AbbreviateToFit("", never), "");
  EXPECT_EQ(AbbreviateToFit("\\\\", never), "\\...\\") << "an empty folder name still ends";
}

TEST(ExportForm, RatioWithFiveDigitsAndTheFollowingSide) {
  EXPECT_EQ(RatioText(2.0f), "2.");
  EXPECT_EQ(RatioText(4.0f / 3.0f), "1.3333");
  EXPECT_EQ(RatioText(0.70710678f), "0.70711");
  EXPECT_EQ(WidthForHeight(400, 2.0f), 800);
  EXPECT_EQ(WidthForHeight(333, 1.5f), 499) << "truncated";
  EXPECT_EQ(WidthForHeight(50, 0.0f), 50) << "no frame: square";
  EXPECT_EQ(ReadPixels("101"), 101);
  EXPECT_EQ(ReadPixels(" 64px"), 64);
  EXPECT_EQ(ReadPixels(""), 0);
  EXPECT_EQ(ReadPixels("abc"), 0);
  EXPECT_EQ(ReadPixels("99999999999"), 999999999) << "stays an int32";
}

TEST(HelpTopics, EachRequestHasItsPage) {
  EXPECT_EQ(HelpContextOf(1201), 0);
  EXPECT_EQ(HelpContextOf(1250), 100);
  EXPECT_EQ(HelpContextOf(1255), 600);
  EXPECT_EQ(HelpContextOf(1202), -1);
  EXPECT_EQ(HelpContextOf(1256), -1);
  EXPECT_EQ(HelpPageOf(0), "index.htm");
  EXPECT_EQ(HelpPageOf(100), "settings.htm#options");
  EXPECT_EQ(HelpPageOf(200), "menus.htm#page-setup");
  EXPECT_EQ(HelpPageOf(300), "settings.htm#preferences");
  EXPECT_EQ(HelpPageOf(12345), "index.htm");
  EXPECT_EQ(HelpTopicUrl("C:\\p\\Tessella.CHM", 500), "C:\\p\\Tessella.CHM::/menus.htm#export");
  // Every page named is one the help file is made of.
  for (int c = 0; c <= 600; c += 100) {
    std::string page = HelpPageOf(c).substr(0, HelpPageOf(c).find('#'));
    FILE* f = std::fopen((std::string(TESSELLA_RESOURCES) + "/help/" + page).c_str(), "rb");
    EXPECT_TRUE(f) << page;
    if (f) std::fclose(f);
  }
}

}  // namespace
