// These run over the settings file store, which is the POSIX one.
#ifndef _WIN32
#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

#include "common/ini_document.h"
#include "settings/settings_file.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"
#include "settings_test_support.h"

namespace tsl::test {
namespace {

using SettingsFileTest = StoreTest;
using Names = std::vector<std::string>;

IniDocument Load(const std::string& path) { return IniDocument::Parse(ReadFile(path)); }

SettingsSet Sample(const char* name, gdi::COLORREF pen2, bool ignoreLT) {
  SettingsSet s = DefaultSettings(name);
  s.PenColor[2] = pen2;
  s.PenWidth[1] = -3;
  s.Set(IgnoreLT, ignoreLT);
  std::strcpy(s.Font.lfFaceName, "Arial");
  return s;
}

TEST_F(SettingsFileTest, ExportOfNoSetsWritesOnlyTheIndex) {
  std::string file = dir.File("none.set");
  ASSERT_EQ(ExportSettings(notices, file.c_str()), 1);
  EXPECT_EQ(ReadFile(file), "[Tessella Settings]\nSettings=Default\nNumSets=1\n");
}

TEST_F(SettingsFileTest, ExportOfTwoSetsFollowsTheProfileLayout) {
  ASSERT_EQ(SaveSet(notices, Sample("A", 255, true), "A"), 1);
  ASSERT_EQ(SaveSet(notices, Sample("B", 0x808080, false), "B"), 1);
  std::string file = dir.File("two.set");
  ASSERT_EQ(ExportSettings(notices, file.c_str()), 1);

  IniDocument doc = Load(file);
  EXPECT_EQ(doc.SectionNames(), (Names{"A", "Tessella Settings", "B"}));
  EXPECT_EQ(doc.KeyNames("Tessella Settings"), (Names{"Set1", "Set2", "Settings", "NumSets"}));
  EXPECT_EQ(*doc.Find("Tessella Settings", "NumSets"), "3");
  EXPECT_EQ(*doc.Find("Tessella Settings", "Settings"), "B");
  EXPECT_EQ(*doc.Find("A", "Pen2"), "255");
  EXPECT_EQ(*doc.Find("A", "PenWidth1"), "-3");
  EXPECT_EQ(*doc.Find("A", "IgnoreLT"), "-1");
  EXPECT_EQ(*doc.Find("B", "IgnoreLT"), "0");
  EXPECT_EQ(*doc.Find("B", "FontName"), "Arial");
  EXPECT_EQ(doc.Find("A", "Pen0"), nullptr);

  Names expected;
  for (unsigned pen = 1; pen <= 16; ++pen) {
    expected.push_back("Pen" + std::to_string(pen));
    expected.push_back("PenWidth" + std::to_string(pen));
  }
  for (const char* k : {"IgnoreLT", "NoWarnings", "PurgeEMF", "FramePicture", "AutoCopy", "PageWidth", "PageHeight",
                        "NoAutoClose", "PurgeLogs", "NoNOPWarnings", "CompatibilityMode", "AssumeIN",
                        "NoInfoMessages", "FontName", "OEMConvert", "LJMode", "DrawChars", "MultiplePages",
                        "HighResolution", "Normalize", "InitialCmdBuffer", "IgnorePC", "AutoEMZ", "MirrorX",
                        "MirrorY"})
    expected.push_back(k);
  EXPECT_EQ(doc.KeyNames("B"), expected);
}

TEST_F(SettingsFileTest, ExportKeepsWhatTheFileAlreadyHolds) {
  std::string file = dir.File("kept.set");
  WriteFile(file, "; my notes\n[Other]\nx=1\n[A]\nCustom=yes\nPen2=1\n");
  ASSERT_EQ(SaveSet(notices, Sample("A", 255, false), "A"), 1);
  ASSERT_EQ(ExportSettings(notices, file.c_str()), 1);
  std::string text = ReadFile(file);
  EXPECT_EQ(text.rfind("; my notes\n[Other]\nx=1\n[A]\nCustom=yes\nPen2=255\nPen1=0\nPenWidth1=-3\n", 0), 0u)
      << text;

  EXPECT_EQ(ExportSettings(notices, dir.File("no/such/folder/x.set").c_str()), 0);
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_EQ(notices.texts[0].rfind("Error exporting to '", 0), 0u) << notices.texts[0];
}

TEST_F(SettingsFileTest, ImportMergesOrReplacesAndAlwaysWritesDefault) {
  SettingsSet a = Sample("A", 255, true);
  ASSERT_EQ(SaveSet(notices, a, "A"), 1);
  ASSERT_EQ(SaveSet(notices, Sample("B", 1, false), "B"), 1);
  std::string file = dir.File("ab.set");
  ASSERT_EQ(ExportSettings(notices, file.c_str()), 1);
  ASSERT_EQ(DeleteSettingsSection(notices, "A"), 1);
  ASSERT_EQ(DeleteSettingsSection(notices, "B"), 1);
  WriteSettingsInt(notices, "Local", "PageWidth", 100);
  WriteSettingsString(notices, nullptr, "Settings", "Local");

  ImportSummary summary;
  ASSERT_EQ(ImportSettings(notices, file.c_str(), false, &summary), 1);
  EXPECT_EQ(summary.imported, (Names{"A", "B", "Default"}));
  EXPECT_EQ(SettingsSectionNames(), (Names{"A", "B", "Default", "Local"}));
  EXPECT_TRUE(SameSettings(LoadSettingsSet(notices, "A"), a));
  EXPECT_EQ(StartupSetName(), "B");
  EXPECT_TRUE(SameSettings(LoadSettingsSet(notices, "Default"), DefaultSettings()));

  WriteSettingsInt(notices, "Default", "PageHeight", 123);
  ASSERT_EQ(ImportSettings(notices, file.c_str(), true, &summary), 1);
  EXPECT_EQ(SettingsSectionNames(), (Names{"A", "B", "Default"}));
  EXPECT_TRUE(notices.texts.empty());
}

TEST_F(SettingsFileTest, ImportedValuesAreReadLikeProfileStrings) {
  WriteSettingsInt(notices, "Mixed", "Pen3", 0xAA);  // absent from the file: kept
  const std::string longName(50, 'L');
  std::string file = dir.File("mixed.set");
  WriteFile(file,
            "[Tessella Settings]\nSet1=Mixed\nSet2=bad\\name\nSet3=" + longName +
                "\nSet4=mixed\nNumSets=4000000000\nSettings=[Mixed]\n"
                "[Mixed]\nPageWidth=abc\nPageHeight= 420mm\nAutoCopy=-1\nMirrorX=2\nPen2=65280\n"
                "FontName=\"Lucida Console\"\n");
  ImportSummary summary;
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(ImportSettings(notices, file.c_str(), false, &summary), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "NumSets must not drive the work";

  EXPECT_EQ(summary.imported, (Names{"Mixed", std::string(47, 'L'), "Default"}));
  EXPECT_EQ(summary.skipped, Names{"bad\\name"});
  EXPECT_EQ(summary.startupSet, "Mixed");
  SettingsSet m = LoadSettingsSet(notices, "Mixed");
  EXPECT_EQ(m.PageWidth, 297);  // text that is no number imports as 0, which is no paper width
  EXPECT_EQ(m.PageHeight, 420);
  EXPECT_EQ(m.FramePicture, 1);  // missing: its default
  EXPECT_TRUE(m.Has(AutoCopy));
  EXPECT_FALSE(m.Has(MirrorX));
  EXPECT_EQ(m.PenColor[2], 65280u);
  EXPECT_EQ(m.PenColor[3], 0xAAu);
  EXPECT_EQ(m.PenColor[4], gdi::RGB(255, 255, 0));
  EXPECT_STREQ(m.Font.lfFaceName, "Lucida Console");
}

TEST_F(SettingsFileTest, UnusableFilesChangeNothing) {
  ASSERT_EQ(SaveSet(notices, Sample("Keep", 255, true), "Keep"), 1);
  const std::string before = ReadFile(SettingsFile());

  std::string garbage = dir.File("garbage.set");
  std::mt19937 rng(3);
  std::string noise(10 * 1024 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  WriteFile(garbage, noise);
  std::string small = dir.File("small.set");
  WriteFile(small, noise.substr(0, 512 * 1024));
  std::string truncated = dir.File("truncated.set");
  WriteFile(truncated, "[Tessella Settings]\r\nSet1=Keep\r\nNumSets=2\r\n[Keep]\r\nPen2=16");

  EXPECT_EQ(ImportSettings(notices, dir.File("missing.set").c_str(), true), 0);
  EXPECT_EQ(ImportSettings(notices, garbage.c_str(), true), 0);
  EXPECT_EQ(ImportSettings(notices, small.c_str(), true), 0);
  ASSERT_EQ(notices.texts.size(), 3u);
  for (const std::string& t : notices.texts) EXPECT_EQ(t.rfind("Error opening '", 0), 0u) << t;
  EXPECT_EQ(ReadFile(SettingsFile()), before);

  // A cut-off file imports what it holds.
  ASSERT_EQ(ImportSettings(notices, truncated.c_str(), false), 1);
  EXPECT_EQ(LoadSettingsSet(notices, "Keep").PenColor[2], 16u);
  EXPECT_FALSE(LoadSettingsSet(notices, "Keep").Has(IgnoreLT));  // missing: the default, not the old value
}

TEST_F(SettingsFileTest, AHostileIndexIsBounded) {
  // More names than the store can ever hold: the import stops at the limit,
  // fails as a whole, and changes nothing.
  std::string index = "[Tessella Settings]\nNumSets=2147483647\n";
  for (size_t i = 1; i <= kMaxImportedSets + 500; ++i)
    index += "Set" + std::to_string(i) + "=n" + std::to_string(i) + "\n";
  std::string file = dir.File("many.set");
  WriteFile(file, index);
  ImportSummary summary;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ImportSettings(notices, file.c_str(), false, &summary), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(summary.imported.size(), kMaxImportedSets);
  EXPECT_GE(summary.overLimit, 500u);
  EXPECT_TRUE(SettingsSectionNames().empty());
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_NE(notices.texts[0].find("more than 4 MB"), std::string::npos) << notices.texts[0];
}

TEST_F(SettingsFileTest, AnExportOfManySetsImportsWhole) {
  const size_t sets = 1500;
  {
    SettingsBatch batch(notices);
    for (size_t i = 0; i < sets; ++i)
      SaveSet(notices, Sample("s", static_cast<gdi::COLORREF>(i), i % 2), ("s" + std::to_string(i)).c_str());
    ASSERT_TRUE(batch.Commit());
  }
  std::vector<std::string> before = SettingsSectionNames();
  ASSERT_EQ(before.size(), sets);
  std::string file = dir.File("all.set");
  ASSERT_EQ(ExportSettings(notices, file.c_str()), 1);
  EXPECT_GT(ReadFile(file).size(), 1u << 20);  // past the old limit on reading it back
  {
    SettingsBatch batch(notices);
    for (const std::string& name : before) DeleteSettingsSection(notices, name.c_str());
  }
  ASSERT_TRUE(SettingsSectionNames().empty());
  ImportSummary summary;
  ASSERT_EQ(ImportSettings(notices, file.c_str(), false, &summary), 1);
  EXPECT_EQ(summary.overLimit, 0u);
  std::vector<std::string> after = SettingsSectionNames();
  after.erase(std::remove(after.begin(), after.end(), std::string("Default")), after.end());
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
  EXPECT_EQ(LoadSettingsSet(notices, "s1499").PenColor[2], 1499u);
  EXPECT_TRUE(notices.texts.empty());
}

TEST(ProfileAtol, ReadsLikeAtolOnWindows) {
  EXPECT_EQ(ProfileAtol(" 42xyz"), 42);
  EXPECT_EQ(ProfileAtol("-7"), -7);
  EXPECT_EQ(ProfileAtol("+5"), 5);
  EXPECT_EQ(ProfileAtol("abc"), 0);
  EXPECT_EQ(ProfileAtol(""), 0);
  EXPECT_EQ(ProfileAtol("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(ProfileAtol("-99999999999"), INT32_MIN);
}

TEST(SingleKeyProfileFunctions, WriteAndReadOneKey) {
  TempDir dir;
  CapturedNotices notices;
  std::string file = dir.File("one.set");
  ASSERT_EQ(ExportSettingsInt(notices, "S", "N", -12, file.c_str()), 1);
  ASSERT_EQ(ExportSettingsString(notices, "S", "T", "two\nlines", file.c_str()), 1);
  EXPECT_EQ(ImportSettingsInt("s", "n", 5, file.c_str()), -12);
  EXPECT_EQ(ImportSettingsInt("S", "missing", 5, file.c_str()), 5);
  char buf[6];
  EXPECT_EQ(ImportSettingsString("S", "T", "", buf, sizeof buf, file.c_str()), 5u);
  EXPECT_STREQ(buf, "two l");
  char list[32];
  size_t n = ImportSettingsSection("S", list, sizeof list, file.c_str());
  EXPECT_EQ(std::string(list, n + 1), std::string("N=-12\0T=two lines\0\0", 19));
}

}  // namespace
}  // namespace tsl::test

#endif  // _WIN32
