#include "common/ini_document.h"

#include <gtest/gtest.h>

#include "common/line_end.h"

namespace tsl {
namespace {

using Names = std::vector<std::string>;

// `text` with each LF the system's line end, as files are written.
std::string WithLineEnds(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += kLineEnd;
    else out += c;
  }
  return out;
}

TEST(IniDocument, ReadsAnyLineEndAndKeepsWhatItDoesNotChange) {
  IniDocument doc = IniDocument::Parse(
      "top = 1\r; note\n[ Alpha ]\r\n  Key = some value  \nkey=second\n\n[beta]\nonly\n[gamma");
  EXPECT_EQ(*doc.Find("", "TOP"), "1");
  EXPECT_EQ(*doc.Find("alpha", "KEY"), "some value");  // the first of two
  EXPECT_EQ(doc.SectionNames(), (Names{"Alpha", "beta"}));
  EXPECT_EQ(doc.KeyNames("Alpha"), Names{"Key"});
  EXPECT_EQ(doc.DamagedLines(), 2u);  // "only" and "[gamma"
  EXPECT_EQ(doc.FirstDamagedLine(), 8u);

  doc.Set("ALPHA", "key", "new");
  doc.Set("alpha", "Added", "x");
  doc.Set("Delta", "d", "4");
  EXPECT_EQ(doc.Serialize(), WithLineEnds("top = 1\n; note\n[ Alpha ]\nKey=new\nkey=second\nAdded=x\n\n[beta]\nonly\n"
                                          "[gamma\n\n[Delta]\nd=4\n"));
  EXPECT_TRUE(doc.Remove("Alpha", "KEY"));  // both lines
  EXPECT_EQ(doc.Find("Alpha", "key"), nullptr);
  EXPECT_TRUE(doc.RemoveSection("beta"));
  EXPECT_FALSE(doc.HasSection("Beta"));
  EXPECT_EQ(doc.SectionNames(), (Names{"Alpha", "Delta"}));
}

TEST(IniDocument, LongSectionsAreIndexedAndStayCorrectWhenAppendedTo) {
  IniDocument doc;
  for (int i = 0; i < 200; ++i) doc.Set("S", "k" + std::to_string(i), std::to_string(i));
  EXPECT_EQ(*doc.Find("S", "K150"), "150");
  doc.Set("S", "late", "L");
  doc.Set("S", "k7", "seven");
  EXPECT_EQ(*doc.Find("S", "late"), "L");
  EXPECT_EQ(*doc.Find("S", "k7"), "seven");
  EXPECT_TRUE(doc.Remove("S", "k8"));
  EXPECT_EQ(doc.Find("S", "k8"), nullptr);
  EXPECT_EQ(*doc.Find("S", "k9"), "9");
  EXPECT_EQ(doc.KeyCount("S"), 200u);
}

}  // namespace
}  // namespace tsl
