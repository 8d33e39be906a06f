#include "common/ini_document.h"

#include <gtest/gtest.h>

namespace tsl {
namespace {

using Names = std::vector<std::string>;

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
  EXPECT_EQ(doc.Serialize(),
            "top = 1\r\n; note\r\n[ Alpha ]\r\nKey=new\r\nkey=second\r\nAdded=x\r\n\r\n[beta]\r\nonly\r\n"
            "[gamma\r\n\r\n[Delta]\r\nd=4\r\n");
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
