// These run over the settings file store, which is the POSIX one.
#ifndef _WIN32
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"
#include "settings_test_support.h"

namespace tsl::test {
namespace {

namespace fs = std::filesystem;
using SettingsSetsTest = StoreTest;
using Names = std::vector<std::string>;

TEST_F(SettingsSetsTest, FreshStoreGivesDefaultWithEveryDefaultAndCreatesNothing) {
  SettingsSet set;
  ReadIniFile(notices, &set, nullptr);
  EXPECT_TRUE(SameSettings(set, DefaultSettings("Default")));
  ReadIniFile(notices, &set, "");
  EXPECT_STREQ(set.Name, "Default");
  ReadIniFile(notices, &set, "Missing");
  EXPECT_STREQ(set.Name, "Missing");
  EXPECT_EQ(set.PenColor[2], gdi::RGB(255, 0, 0));
  EXPECT_EQ(set.PenColor[11], gdi::RGB(0, 128, 0));
  EXPECT_EQ(DeleteSettingsSection(notices, "Missing"), 1);
  char buf[16] = "junk";
  EXPECT_EQ(GetSettingsSectionNames(buf, sizeof buf), 0u);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(notices.texts.empty());
}

TEST_F(SettingsSetsTest, StoredValuesAreReadByBitZeroAndSixteenBits) {
  WriteSettingsInt(notices, "S", "AutoCopy", 2);
  WriteSettingsInt(notices, "S", "NoWarnings", 3);
  WriteSettingsInt(notices, "S", "MirrorX", 0xFFFFFFFF);
  WriteSettingsInt(notices, "S", "PageWidth", 70000);
  WriteSettingsInt(notices, "S", "FramePicture", 0xFFFFFFFF);
  WriteSettingsInt(notices, "S", "PenWidth3", 0x12345);
  WriteSettingsInt(notices, "S", "InitialCmdBuffer", 4096);
  WriteSettingsString(notices, "S", "PageHeight", "300");  // a text where a number belongs
  WriteSettingsInt(notices, "S", "FontName", 5);           // and the other way round
  WriteSettingsInt(notices, "S", "Pen0", 0xFF);            // pen 0 is read when present

  SettingsSet set;
  ReadIniFile(notices, &set, "S");
  EXPECT_FALSE(set.Has(AutoCopy));
  EXPECT_TRUE(set.Has(NoWarnings));
  EXPECT_TRUE(set.Has(MirrorX));
  // Values that mean nothing are not cut to 16 bits and used: the default
  // is, and the user hears which.
  EXPECT_EQ(set.PageWidth, 297);
  EXPECT_EQ(set.FramePicture, -1);
  EXPECT_EQ(set.PenWidth[3], 0);
  ASSERT_EQ(notices.texts.size(), 2u);
  EXPECT_EQ(notices.texts[0],
            "The settings set 'S' holds PenWidth3=74565, which is not a pen width from -80 to 50; 0 is used instead.");
  EXPECT_EQ(notices.texts[1],
            "The settings set 'S' holds PageWidth=70000, which is not a paper width in mm from 1 to 32767; 297 is "
            "used instead.");
  EXPECT_EQ(set.InitialCmdBuffer, 4096u);
  EXPECT_EQ(set.PageHeight, 210);
  EXPECT_STREQ(set.Font.lfFaceName, "Courier New");
  EXPECT_EQ(set.PenColor[0], 0xFFu);
  EXPECT_EQ(set.ScalePercent, 100.0f);
}

TEST_F(SettingsSetsTest, SavedSetReadsBackAndBecomesTheStartupSet) {
  SettingsSet set = DefaultSettings("ignored");
  set.PenColor[0] = 0x123456;
  set.PenColor[5] = 0x00FF80;
  set.PenWidth[16] = -7;
  set.PageWidth = 1188;
  set.FramePicture = -5;
  set.InitialCmdBuffer = 65536;
  set.ScalePercent = 50.0f;
  set.Flags = IgnoreLT | NoWarnings | AutoEMZ | Normalize | MirrorY | Unattended | MeasureOnly;
  std::strcpy(set.Font.lfFaceName, "Arial");
  ASSERT_EQ(SaveSet(notices, set, "Plotter A"), 1);

  SettingsSet back;
  ReadIniFile(notices, &back, nullptr);
  SettingsSet expected = set;
  std::strcpy(expected.Name, "Plotter A");
  expected.PenColor[0] = 0;                                  // pen 0 is not saved
  expected.ScalePercent = 100.0f;                            // nor the scale
  expected.Flags = IgnoreLT | NoWarnings | AutoEMZ | Normalize | MirrorY;  // nor run flags
  EXPECT_TRUE(SameSettings(back, expected));

  Names values;
  ASSERT_TRUE(store.ListValues("Plotter A", &values));
  Names order;
  for (unsigned pen = 1; pen <= 16; ++pen) {
    order.push_back("Pen" + std::to_string(pen));
    order.push_back("PenWidth" + std::to_string(pen));
  }
  for (const char* n : {"IgnoreLT", "NoWarnings", "PurgeEMF", "AutoEMZ", "FramePicture", "AutoCopy", "PageWidth",
                        "PageHeight", "NoAutoClose", "PurgeLogs", "NoNOPWarnings", "CompatibilityMode", "AssumeIN",
                        "NoInfoMessages", "FontName", "OEMConvert", "LJMode", "DrawChars", "MultiplePages",
                        "HighResolution", "Normalize", "InitialCmdBuffer", "IgnorePC", "MirrorX", "MirrorY"})
    order.push_back(n);
  EXPECT_EQ(values, order);
  EXPECT_EQ(GetSettingsInt("Plotter A", "IgnoreLT", 0), 0xFFFFFFFFu);
  EXPECT_EQ(GetSettingsInt("Plotter A", "FramePicture", 0), 0xFFFFFFFBu);
  EXPECT_EQ(StartupSetName(), "Plotter A");

  const std::string tooLong(48, 'n');
  for (const char* bad : {"", "a\\b", "[x]", " pad", "tab\tinside", tooLong.c_str()})
    EXPECT_EQ(SaveSet(notices, set, bad), 0) << bad;
  EXPECT_EQ(SettingsSectionNames(), Names{"Plotter A"});
}

TEST_F(SettingsSetsTest, DeletingTheStartupSetKeepsItsNameWithDefaults) {
  SettingsSet set = DefaultSettings();
  set.PageWidth = 420;
  ASSERT_EQ(SaveSet(notices, set, "Work"), 1);
  ASSERT_EQ(DeleteSettingsSection(notices, "Work"), 1);
  EXPECT_TRUE(SettingsSectionNames().empty());
  EXPECT_EQ(GetSettingsText(nullptr, "Settings", ""), "Work");
  EXPECT_TRUE(SameSettings(LoadSettingsSet(notices), DefaultSettings("Work")));
}

TEST_F(SettingsSetsTest, OutOfRangeValuesOfAHandEditedSetFallBackToTheirDefaults) {
  WriteSettingsInt(notices, "Hand", "PageHeight", 0);
  WriteSettingsInt(notices, "Hand", "FramePicture", 500);
  WriteSettingsInt(notices, "Hand", "InitialCmdBuffer", 0);
  WriteSettingsInt(notices, "Hand", "Pen2", 0x01000000);
  WriteSettingsInt(notices, "Hand", "PenWidth4", static_cast<uint32_t>(-81));
  WriteSettingsInt(notices, "Hand", "PenWidth5", static_cast<uint32_t>(-80));
  WriteSettingsInt(notices, "Hand", "FramePicture", static_cast<uint32_t>(-5));  // negative: expand to the paper
  SettingsSet set;
  ReadIniFile(notices, &set, "Hand");
  EXPECT_EQ(set.PageHeight, 210);
  EXPECT_EQ(set.FramePicture, -5);
  EXPECT_EQ(set.InitialCmdBuffer, 1024u);
  EXPECT_EQ(set.PenColor[2], DefaultPenColor(2));
  EXPECT_EQ(set.PenWidth[4], 0);
  EXPECT_EQ(set.PenWidth[5], -80);
  EXPECT_EQ(notices.texts.size(), 4u);
}

TEST_F(SettingsSetsTest, DeletingTheStartupSetMakesDefaultTheStartupSetAgain) {
  ASSERT_EQ(SaveSet(notices, DefaultSettings(), "Work"), 1);
  ASSERT_EQ(SaveSet(notices, DefaultSettings(), "Other"), 1);
  ASSERT_EQ(DeleteSet(notices, "Work"), 1);
  EXPECT_EQ(StartupSetName(), "Other");  // not the start-up set: nothing else changes
  ASSERT_EQ(DeleteSet(notices, "OTHER"), 1);
  EXPECT_EQ(StartupSetName(), "Default");
  EXPECT_TRUE(SettingsSectionNames().empty());
}

TEST_F(SettingsSetsTest, LongNamesAreBounded) {
  WriteSettingsString(notices, "S", "FontName", std::string(40, 'F').c_str());
  EXPECT_EQ(std::string(LoadSettingsSet(notices, "S").Font.lfFaceName), std::string(31, 'F'));
  // A start-up name that does not fit the 64-byte buffer gives "Default".
  WriteSettingsString(notices, nullptr, "Settings", std::string(64, 'L').c_str());
  EXPECT_EQ(StartupSetName(), "Default");
  std::string name47(47, 'n');
  ASSERT_EQ(SaveSet(notices, DefaultSettings(), name47.c_str()), 1);
  EXPECT_STREQ(LoadSettingsSet(notices).Name, name47.c_str());
}

TEST_F(SettingsSetsTest, StringAndNameListWrappersFollowTheRegistryRules) {
  WriteSettingsString(notices, nullptr, "Folder", "/out");
  char buf[8];
  EXPECT_EQ(GetSettingsString(nullptr, "Folder", "dflt", buf, sizeof buf), 5u);  // with the terminator
  EXPECT_STREQ(buf, "/out");
  EXPECT_EQ(GetSettingsString(nullptr, "Folder", "d", buf, 4), 1u);  // too long to fit: the default
  EXPECT_STREQ(buf, "d");
  EXPECT_EQ(GetSettingsString(nullptr, "None", "far too long", buf, sizeof buf), 0u);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(WriteSettingsString(notices, nullptr, "Folder", nullptr), 1);
  EXPECT_EQ(GetSettingsText(nullptr, "Folder", "gone"), "gone");

  for (const char* s : {"Bravo", "Alpha", "Charlie"}) WriteSettingsInt(notices, s, "PageWidth", 1);
  char list[32];
  size_t used = GetSettingsSectionNames(list, sizeof list);
  EXPECT_EQ(std::string(list, used + 1), std::string("Alpha\0Bravo\0Charlie\0\0", 21));
  used = GetSettingsSectionNames(list, 14);  // "Charlie" no longer fits
  EXPECT_EQ(std::string(list, used + 1), std::string("Alpha\0Bravo\0\0", 13));
  used = GetSettingsValueNames(list, sizeof list);
  EXPECT_EQ(std::string(list, used + 1), std::string("\0", 1));
}

TEST_F(SettingsSetsTest, InitUtilRecordsProgramAndVersionOnlyWhenChanged) {
  InitUtil(notices, "/opt/tessella/bin/tessella");
  EXPECT_EQ(GetSettingsText(nullptr, "ImagePath", ""), "/opt/tessella/bin/tessella");
  EXPECT_EQ(GetSettingsText(nullptr, "CurrentVersion", ""), "5.4.1110");
  struct stat first, second;
  ASSERT_EQ(stat(SettingsFile().c_str(), &first), 0);
  InitUtil(notices, "/opt/tessella/bin/tessella");
  ASSERT_EQ(stat(SettingsFile().c_str(), &second), 0);
  EXPECT_EQ(first.st_ino, second.st_ino) << "an unchanged path rewrote the file";
}

}  // namespace
}  // namespace tsl::test

#endif  // _WIN32
