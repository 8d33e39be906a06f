// The registry settings store: the contract every store keeps, and what is
// particular to the registry (value types, foreign values, the key used).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <string>

#include "common/atomic_file.h"
#include "settings/settings_store.h"
#include "platform/win32/settings_store_registry.h"
#include "settings/store_contract.h"

#include "platform/windows_lean.h"

namespace tsl::test {
namespace {

std::atomic<unsigned> gHarnessCount{0};

// A fresh key under HKEY_CURRENT_USER for each harness, removed with it.
class RegistryHarness : public StoreHarness {
 public:
  RegistryHarness()
      : path_("Software\\Quillmark\\TessellaTest-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(gHarnessCount++)) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  }
  ~RegistryHarness() override { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
  std::unique_ptr<SettingsStore> Open() override {
    return std::make_unique<win32::RegistrySettingsStore>(path_);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::unique_ptr<StoreHarness> MakeRegistryHarness() { return std::make_unique<RegistryHarness>(); }

INSTANTIATE_TEST_SUITE_P(Registry, SettingsStoreContract,
                         ::testing::Values(StoreKind{"Registry", &MakeRegistryHarness}), StoreKindName);

// Raw access to what the store wrote.
struct Raw {
  DWORD type = 0;
  std::string bytes;
};
bool ReadRaw(const std::string& key, const char* name, Raw* raw) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  bool ok = RegQueryValueExA(h, name, nullptr, &raw->type, nullptr, &size) == ERROR_SUCCESS;
  raw->bytes.assign(size, '\0');
  ok = ok && RegQueryValueExA(h, name, nullptr, &raw->type, reinterpret_cast<BYTE*>(&raw->bytes[0]), &size) ==
                 ERROR_SUCCESS;
  RegCloseKey(h);
  return ok;
}
void WriteRaw(const std::string& key, const char* name, DWORD type, const std::string& bytes) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(h);
}

TEST(RegistryStore, NumbersAreDwordsAndTextsAreStringsUnderTheSectionsSubKey) {
  RegistryHarness h;
  auto store = h.Open();
  ASSERT_TRUE(store->WriteNumber("Pens A3", "Pen2", 0x0000FF).ok());
  ASSERT_TRUE(store->WriteText("", "Settings", "Pens A3").ok());
  Raw raw;
  ASSERT_TRUE(ReadRaw(h.path() + "\\Pens A3", "Pen2", &raw));
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(raw.bytes, std::string("\xFF\0\0\0", 4));
  ASSERT_TRUE(ReadRaw(h.path(), "Settings", &raw));
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw.bytes, std::string("Pens A3\0", 8));
}

TEST(RegistryStore, ForeignValuesAreReadWithCareOrNotAtAll) {
  RegistryHarness h;
  auto store = h.Open();
  WriteRaw(h.path(), "Binary", REG_BINARY, "\x01\x02");
  WriteRaw(h.path(), "ShortDword", REG_DWORD, std::string("\x01\x02", 2));
  WriteRaw(h.path(), "Unterminated", REG_SZ, "abc");
  WriteRaw(h.path(), "Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9));
  WriteRaw(h.path(), "Huge", REG_SZ, std::string(win32::kMaxRegistryText + 10, 'h'));
  StoreValue v;
  EXPECT_FALSE(store->Read("", "Binary", &v));
  EXPECT_FALSE(store->Read("", "ShortDword", &v));
  EXPECT_FALSE(store->Read("", "Huge", &v)) << "too long for a setting: absent, not read";
  ASSERT_TRUE(store->Read("", "Unterminated", &v));
  EXPECT_EQ(v.text, "abc");
  ASSERT_TRUE(store->Read("", "Expand", &v));
  EXPECT_EQ(v.text, "%TEMP%\\x") << "kept as written, not expanded";
}

TEST(RegistryStore, TheBaseKeyIsNeverDeletedAsASectionAndSubKeysGoWithTheirSection) {
  RegistryHarness h;
  auto store = h.Open();
  ASSERT_TRUE(store->WriteNumber("", "Keep", 1).ok());
  ASSERT_TRUE(store->WriteNumber("Set", "x", 1).ok());
  WriteRaw(h.path() + "\\Set\\Deeper", "y", REG_DWORD, std::string(4, '\0'));
  EXPECT_EQ(store->DeleteSection("").code, StoreStatus::Code::Failed);
  EXPECT_TRUE(store->DeleteSection("SET").ok());
  std::vector<std::string> names;
  ASSERT_TRUE(store->ListSections(&names));
  EXPECT_TRUE(names.empty());
  StoreValue v;
  EXPECT_TRUE(store->Read("", "Keep", &v));
  EXPECT_EQ(store->WriteText("Set", "t", std::string("a\0b", 3)).code, StoreStatus::Code::Failed);
}

// The listing clause of the contract without the order of values, which
// Wine's registry does not keep.
TEST(RegistryStore, SectionsListSortedWithoutRegardToCaseAndValuesListComplete) {
  RegistryHarness h;
  auto store = h.Open();
  for (const char* s : {"beta", "Alpha", "A]B = c", "gamma"}) ASSERT_TRUE(store->WriteNumber(s, "x", 1).ok());
  for (const char* n : {"Zed", "Apple", "Mid"}) ASSERT_TRUE(store->WriteNumber("", n, 1).ok());
  auto other = h.Open();
  std::vector<std::string> names;
  ASSERT_TRUE(other->ListSections(&names));
  EXPECT_EQ(names, (std::vector<std::string>{"A]B = c", "Alpha", "beta", "gamma"}));
  ASSERT_TRUE(other->ListValues("", &names));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Apple", "Mid", "Zed"}));
  EXPECT_FALSE(other->ListValues("delta", &names));
}

TEST(RegistryStore, ThePlatformStoreIsTheProgramsKey) {
  std::string key = win32::kSettingsKey;
  EXPECT_EQ(key, "Software\\Quillmark\\Tessella");
  auto store = CreatePlatformSettingsStore();
  ASSERT_TRUE(store->WriteNumber("TessellaStoreTest", "Probe", 42).ok());
  Raw raw;
  EXPECT_TRUE(ReadRaw(key + "\\TessellaStoreTest", "Probe", &raw));
  EXPECT_TRUE(store->DeleteSection("TessellaStoreTest").ok());
}

TEST(SettingsFiles, WholeFilesAreReadWithinTheirLimitAndReplacedAtOnce) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "tsl_settings_" + std::to_string(GetCurrentProcessId()) + ".set";
  std::string bytes, error;
  DeleteFileA(path.c_str());
  EXPECT_EQ(ReadWholeFile(path, 100, &bytes, &error), FileReadResult::Missing);

  ASSERT_TRUE(WriteFileAtomically(path, "[Default]\r\nPen1=0\r\n", &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(path, "[Other]\r\n", &error)) << error;
  EXPECT_EQ(ReadWholeFile(path, 100, &bytes, &error), FileReadResult::Ok);
  EXPECT_EQ(bytes, "[Other]\r\n");
  EXPECT_EQ(ReadWholeFile(path, 5, &bytes, &error), FileReadResult::TooLarge);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(ReadWholeFile(dir, 100, &bytes, &error), FileReadResult::Failed) << "a folder is no file";
  EXPECT_FALSE(error.empty());

  std::string nowhere = std::string(dir) + "no_such_folder_tsl\\x.set";
  EXPECT_FALSE(WriteFileAtomically(nowhere, "x", &error));
  EXPECT_NE(error.find(nowhere), std::string::npos);
  DeleteFileA(path.c_str());

  std::string program = CurrentProgramPath();
  ASSERT_GT(program.size(), 15u);
  EXPECT_EQ(program.substr(program.size() - 16), "test_windows.exe");
}

}  // namespace
}  // namespace tsl::test
