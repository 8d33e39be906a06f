// These run over the settings file store, which is the POSIX one.
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "settings/settings_registry.h"
#include "settings/settings_sets.h"
#include "settings_test_support.h"
#include "store_contract.h"

namespace tsl::test {
namespace {

class FileHarness : public StoreHarness {
 public:
  std::unique_ptr<SettingsStore> Open() override { return std::make_unique<FileSettingsStore>(dir_.File("cfg")); }

 private:
  TempDir dir_;
};

std::unique_ptr<StoreHarness> MakeFileHarness() { return std::make_unique<FileHarness>(); }

INSTANTIATE_TEST_SUITE_P(File, SettingsStoreContract, ::testing::Values(StoreKind{"File", &MakeFileHarness}),
                         StoreKindName);

namespace fs = std::filesystem;
using FileStoreTest = StoreTest;

TEST_F(FileStoreTest, ValuesAreWrittenAsReadableTypedLines) {
  ASSERT_EQ(WriteSettingsInt(notices, "Work", "Pen2", 255), 1);
  ASSERT_EQ(WriteSettingsString(notices, "Work", "FontName", "Arial \"Narrow\""), 1);
  std::string text = ReadFile(SettingsFile());
  EXPECT_NE(text.find("[Work]\nPen2=dword:000000ff\nFontName=\"Arial \\\"Narrow\\\"\"\n"), std::string::npos)
      << text;

  // Hand edits: a quoted number is a text and reads as the default.
  WriteFile(SettingsFile(), "[Work]\nPageWidth=\"300\"\nPageHeight=DWORD:12C\n");
  EXPECT_EQ(GetSettingsInt("Work", "PageWidth", 297), 297u);
  EXPECT_EQ(GetSettingsInt("Work", "PageHeight", 210), 300u);
  EXPECT_TRUE(notices.texts.empty());
}

TEST_F(FileStoreTest, DamagedFileIsReadAsFarAsPossibleReportedOnceAndKeptAside) {
  fs::create_directories(folder);
  const std::string damaged =
      "Settings=\"Work\"\n[Work]\nPageWidth=dword:12c\n\x01\x02\xff garbage\nFontName=\"Aria\n"
      "no equals sign\nPageHeight=dword:c8\nPen1=255\n[Other";
  WriteFile(SettingsFile(), damaged);

  SettingsSet set;
  for (int i = 0; i < 3; ++i) ReadIniFile(notices, &set, nullptr);
  EXPECT_STREQ(set.Name, "Work");
  EXPECT_EQ(set.PageWidth, 300);
  EXPECT_EQ(set.PageHeight, 200);
  EXPECT_STREQ(set.Font.lfFaceName, "Courier New");
  EXPECT_EQ(set.PenColor[1], 0u);
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_NE(notices.texts[0].find("settings.ini"), std::string::npos) << notices.texts[0];

  // Saving keeps the damaged original aside and writes a clean file.
  ASSERT_EQ(WriteSettingsInt(notices, "Work", "MirrorX", 0xFFFFFFFF), 1);
  EXPECT_EQ(ReadFile(SettingsFile() + ".damaged"), damaged);
  ReadIniFile(notices, &set, nullptr);
  EXPECT_EQ(set.PageWidth, 300);
  EXPECT_EQ(set.PageHeight, 200);
  EXPECT_TRUE(set.Has(MirrorX));
  EXPECT_EQ(notices.texts.size(), 1u);
  EXPECT_EQ(ReadFile(SettingsFile()).find("garbage"), std::string::npos);

  // A second damaged file is kept beside the first, never over it.
  const std::string again = "[Work]\nPageWidth=dword:12c\n\x01 more garbage\n";
  WriteFile(SettingsFile(), again);
  ReadIniFile(notices, &set, nullptr);
  EXPECT_EQ(notices.texts.size(), 2u);
  ASSERT_EQ(WriteSettingsInt(notices, "Work", "MirrorY", 0xFFFFFFFF), 1);
  EXPECT_EQ(ReadFile(SettingsFile() + ".damaged"), damaged);
  EXPECT_EQ(ReadFile(SettingsFile() + ".damaged-2"), again);
}

TEST_F(FileStoreTest, BinaryOrOversizedFilesNeverCrashAndAreNotOverwritten) {
  fs::create_directories(folder);
  std::mt19937 rng(7);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  WriteFile(SettingsFile(), noise);
  SettingsSet set;
  ReadIniFile(notices, &set, nullptr);
  EXPECT_EQ(set.PageWidth, 297);
  EXPECT_EQ(notices.texts.size(), 1u);

  // Larger than any settings file: refused for reading and for writing.
  std::string big(kMaxStoreFileBytes + 1, 'x');
  WriteFile(SettingsFile(), big);
  ReadIniFile(notices, &set, nullptr);
  EXPECT_STREQ(set.Name, "Default");
  EXPECT_EQ(notices.texts.size(), 2u);
  EXPECT_EQ(WriteSettingsInt(notices, "A", "PageWidth", 1), 0);
  EXPECT_EQ(fs::file_size(SettingsFile()), big.size());
}

TEST_F(FileStoreTest, FolderThatCannotBeMadeFailsWithRegistryMessage) {
  WriteFile(dir.File("plain"), "a file, not a folder");
  FileSettingsStore blocked(dir.File("plain") + "/tessella");
  SetSettingsStore(&blocked);
  EXPECT_EQ(WriteSettingsInt(notices, "A", "PageWidth", 1), 0);
  EXPECT_EQ(SaveSet(notices, DefaultSettings(), "A"), 0);
  ASSERT_GE(notices.texts.size(), 2u);
  EXPECT_EQ(notices.texts[0].rfind("Error writing to the Windows registry: \n\nNot a directory", 0), 0u)
      << notices.texts[0];
  // SaveSet reports its batch once, not once per value.
  EXPECT_EQ(notices.texts.size(), 2u);
  EXPECT_EQ(DeleteSettingsSection(notices, "A"), 1);
}

TEST_F(FileStoreTest, FullDiskLeavesThePreviousSettingsIntact) {
  SettingsSet work = DefaultSettings("Work");
  work.PageWidth = 420;
  ASSERT_EQ(SaveSet(notices, work, "Work"), 1);
  const std::string before = ReadFile(SettingsFile());

  // A file size limit stands in for a full disk (root ignores permissions).
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = old;
  tiny.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  work.PageWidth = 594;
  int saved = SaveSet(notices, work, "Work");
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(saved, 0);
  ASSERT_EQ(notices.texts.size(), 1u);
  EXPECT_EQ(ReadFile(SettingsFile()), before);
  EXPECT_EQ(LoadSettingsSet(notices, "Work").PageWidth, 420);
  for (const auto& entry : fs::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename().string().find("settings.ini."), std::string::npos)
        << "temporary file left: " << entry.path();
}

TEST_F(FileStoreTest, TwoProcessesDoNotLoseEachOthersWrites) {
  FileSettingsStore other(folder);
  StoreValue v;
  EXPECT_FALSE(other.Read("A", "One", &v));  // the other has read (and cached) the empty store
  ASSERT_TRUE(store.WriteNumber("A", "One", 1).ok());
  ASSERT_TRUE(other.WriteNumber("B", "Two", 2).ok());
  FileSettingsStore third(folder);
  EXPECT_TRUE(third.Read("A", "One", &v));
  EXPECT_TRUE(third.Read("B", "Two", &v));
  EXPECT_TRUE(store.Read("B", "Two", &v));
}

TEST(SettingsFolder, FollowsTheEnvironment) {
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  } saved[] = {{"TESSELLA_CONFIG_DIR", "", false}, {"XDG_CONFIG_HOME", "", false}, {"HOME", "", false}};
  for (Saved& s : saved)
    if (const char* v = getenv(s.name)) s.value = v, s.set = true;

  setenv("TESSELLA_CONFIG_DIR", "/cfg/here", 1);
  setenv("XDG_CONFIG_HOME", "/xdg", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(DefaultSettingsFolder(), "/cfg/here");
  unsetenv("TESSELLA_CONFIG_DIR");
  EXPECT_EQ(DefaultSettingsFolder(), "/xdg/tessella");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(DefaultSettingsFolder(), "/home/u/.config/tessella");

  for (Saved& s : saved)
    if (s.set) setenv(s.name, s.value.c_str(), 1);
    else unsetenv(s.name);
}

}  // namespace
}  // namespace tsl::test

#else
#include "store_contract.h"
// On Windows the contract runs over the registry store, in test_windows.
namespace tsl::test {
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SettingsStoreContract);
}
#endif  // _WIN32
