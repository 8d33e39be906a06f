#include "store_contract.h"

#include <vector>

namespace tsl::test {
namespace {

using Names = std::vector<std::string>;

uint32_t Number(SettingsStore& s, const std::string& section, const std::string& name) {
  StoreValue v;
  EXPECT_TRUE(s.Read(section, name, &v)) << section << "/" << name;
  EXPECT_EQ(v.type, StoreValue::Type::Number) << section << "/" << name;
  return v.number;
}

std::string Text(SettingsStore& s, const std::string& section, const std::string& name) {
  StoreValue v;
  EXPECT_TRUE(s.Read(section, name, &v)) << section << "/" << name;
  EXPECT_EQ(v.type, StoreValue::Type::Text) << section << "/" << name;
  return v.text;
}

TEST_P(SettingsStoreContract, FreshStoreHoldsNothingAndReadsCreateNothing) {
  StoreValue v;
  Names names;
  EXPECT_FALSE(store->Read("", "Settings", &v));
  EXPECT_FALSE(store->Read("Default", "Pen1", &v));
  EXPECT_FALSE(store->ListSections(&names));
  EXPECT_FALSE(store->ListValues("", &names));
  EXPECT_EQ(store->DeleteSection("Default").code, StoreStatus::Code::NotFound);
  EXPECT_EQ(store->DeleteValue("", "Settings").code, StoreStatus::Code::NotFound);
  EXPECT_FALSE(harness->Open()->ListSections(&names));
}

TEST_P(SettingsStoreContract, NumbersAndTextsKeepTheirTypeAndValue) {
  const std::string special = "a \"quoted\" C:\\path; [x] = y\n\tend \xDC ";
  ASSERT_TRUE(store->WriteNumber("", "Zero", 0).ok());
  ASSERT_TRUE(store->WriteNumber("Set A", "All", 0xFFFFFFFFu).ok());
  ASSERT_TRUE(store->WriteText("Set A", "Empty", "").ok());
  ASSERT_TRUE(store->WriteText("Set A", "Special", special).ok());
  ASSERT_TRUE(store->WriteText("Set A", "Digits", "300").ok());

  auto other = harness->Open();
  for (SettingsStore* s : {store.get(), other.get()}) {
    EXPECT_EQ(Number(*s, "", "Zero"), 0u);
    EXPECT_EQ(Number(*s, "Set A", "All"), 0xFFFFFFFFu);
    EXPECT_EQ(Text(*s, "Set A", "Empty"), "");
    EXPECT_EQ(Text(*s, "Set A", "Special"), special);
    EXPECT_EQ(Text(*s, "Set A", "Digits"), "300");  // a text of digits is no number
  }
  StoreValue v;
  EXPECT_FALSE(store->Read("", "All", &v)) << "base key and sub-key values are apart";

  ASSERT_TRUE(store->WriteText("Set A", "All", "now a text").ok());
  EXPECT_EQ(Text(*harness->Open(), "Set A", "All"), "now a text");
}

TEST_P(SettingsStoreContract, NamesIgnoreCaseAndKeepTheFirstSpelling) {
  ASSERT_TRUE(store->WriteNumber("Alpha", "PageWidth", 1).ok());
  ASSERT_TRUE(store->WriteNumber("ALPHA", "pagewidth", 2).ok());
  auto other = harness->Open();
  EXPECT_EQ(Number(*other, "alpha", "PAGEWIDTH"), 2u);
  Names names;
  ASSERT_TRUE(other->ListSections(&names));
  EXPECT_EQ(names, Names{"Alpha"});
  ASSERT_TRUE(other->ListValues("aLPHA", &names));
  EXPECT_EQ(names, Names{"PageWidth"});
}

TEST_P(SettingsStoreContract, SectionsListSortedValuesInWriteOrder) {
  for (const char* s : {"beta", "Alpha", "A]B = c", "gamma"}) ASSERT_TRUE(store->WriteNumber(s, "x", 1).ok());
  for (const char* n : {"Zed", "Apple", "Mid"}) ASSERT_TRUE(store->WriteNumber("", n, 1).ok());
  auto other = harness->Open();
  Names names;
  ASSERT_TRUE(other->ListSections(&names));
  EXPECT_EQ(names, (Names{"A]B = c", "Alpha", "beta", "gamma"}));
  ASSERT_TRUE(other->ListValues("", &names));
  EXPECT_EQ(names, (Names{"Zed", "Apple", "Mid"}));
  EXPECT_FALSE(other->ListValues("delta", &names));
}

TEST_P(SettingsStoreContract, DeletingTakesOnlyWhatItNames) {
  ASSERT_TRUE(store->WriteNumber("", "Keep", 7).ok());
  ASSERT_TRUE(store->WriteNumber("A", "One", 1).ok());
  ASSERT_TRUE(store->WriteNumber("A", "Two", 2).ok());
  ASSERT_TRUE(store->WriteNumber("B", "One", 3).ok());

  EXPECT_TRUE(store->DeleteValue("A", "one").ok());
  EXPECT_EQ(store->DeleteValue("A", "One").code, StoreStatus::Code::NotFound);
  EXPECT_TRUE(store->DeleteSection("b").ok());
  EXPECT_EQ(store->DeleteSection("B").code, StoreStatus::Code::NotFound);

  auto other = harness->Open();
  StoreValue v;
  EXPECT_FALSE(other->Read("A", "One", &v));
  EXPECT_EQ(Number(*other, "A", "Two"), 2u);
  EXPECT_FALSE(other->Read("B", "One", &v));
  EXPECT_EQ(Number(*other, "", "Keep"), 7u);
  Names names;
  ASSERT_TRUE(other->ListSections(&names));
  EXPECT_EQ(names, Names{"A"});
  // A section written again after its deletion starts empty.
  ASSERT_TRUE(store->WriteNumber("B", "Two", 4).ok());
  EXPECT_FALSE(store->Read("B", "One", &v));
}

TEST_P(SettingsStoreContract, UnusableNamesAreRefusedWithoutTouchingAnything) {
  for (const char* section : {"a\\b", "tab\there", " lead", "trail ", "line\nbreak"})
    EXPECT_EQ(store->WriteNumber(section, "x", 1).code, StoreStatus::Code::Failed) << section;
  for (const char* name : {"", "a=b", "[x", ";x", " x", "x\r"})
    EXPECT_EQ(store->WriteText("A", name, "v").code, StoreStatus::Code::Failed) << name;
  EXPECT_EQ(store->WriteNumber(std::string(256, 'n'), "x", 1).code, StoreStatus::Code::Failed);
  Names names;
  EXPECT_FALSE(harness->Open()->ListSections(&names));
}

TEST_P(SettingsStoreContract, BatchedWritesAreSeenAtOnceAndKeptAtTheEnd) {
  store->BeginBatch();
  store->BeginBatch();
  ASSERT_TRUE(store->WriteNumber("A", "One", 1).ok());
  ASSERT_TRUE(store->WriteText("", "Settings", "A").ok());
  EXPECT_EQ(Number(*store, "A", "One"), 1u);
  EXPECT_TRUE(store->EndBatch().ok());
  ASSERT_TRUE(store->DeleteValue("A", "One").ok());
  ASSERT_TRUE(store->WriteNumber("A", "Two", 2).ok());
  EXPECT_TRUE(store->EndBatch().ok());

  auto other = harness->Open();
  StoreValue v;
  EXPECT_FALSE(other->Read("A", "One", &v));
  EXPECT_EQ(Number(*other, "A", "Two"), 2u);
  EXPECT_EQ(Text(*other, "", "Settings"), "A");
}

}  // namespace
}  // namespace tsl::test
