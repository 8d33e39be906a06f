#include "settings/settings_registry.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "resources/string_ids.h"
#include "settings/settings_store.h"
#include "common/ini_document.h"

namespace tsl {

namespace {

std::atomic<SettingsStore*> gInstalled{nullptr};

std::string Section(const char* section) { return section ? section : ""; }

int Report(Notices& notices, const StoreStatus& status) {
  if (status.code != StoreStatus::Code::Failed) return 1;
  NotifySettingsError(notices, IDS_REGISTRY_WRITE_FAILED, "", status.systemText);
  return 0;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

size_t FillNameList(const std::vector<std::string>& names, char* buffer, size_t capacity) {
  if (!buffer || capacity == 0) return 0;
  buffer[0] = '\0';
  if (capacity > 1) buffer[1] = '\0';
  size_t used = 0;
  for (const std::string& name : names) {
    if (name.size() > 127) continue;
    // The name, its NUL and the list's final NUL must fit.
    if (used + name.size() + 2 > capacity) break;
    std::memcpy(buffer + used, name.c_str(), name.size() + 1);
    used += name.size() + 1;
    buffer[used] = '\0';
  }
  return used;
}

}  // namespace

bool IsValidStoreSection(const std::string& section) {
  if (section.empty()) return true;
  if (section.size() > 255 || section.front() == ' ' || section.back() == ' ' || section.front() == '\t' ||
      section.back() == '\t')
    return false;
  for (unsigned char c : section)
    if (c == '\\' || IsControl(c)) return false;
  return true;
}

bool IsValidStoreValueName(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  char first = name.front(), last = name.back();
  if (first == ' ' || first == '\t' || last == ' ' || last == '\t' || first == ';' || first == '#' || first == '[')
    return false;
  for (unsigned char c : name)
    if (c == '=' || IsControl(c)) return false;
  return true;
}

SettingsStore& CurrentSettingsStore() {
  if (SettingsStore* s = gInstalled.load()) return *s;
  static std::unique_ptr<SettingsStore> platform = CreatePlatformSettingsStore();
  return *platform;
}

void SetSettingsStore(SettingsStore* store) { gInstalled.store(store); }

void NotifySettingsError(Notices& notices, unsigned id, const std::string& arg, const std::string& systemText) {
  notices.Tell(MakeSystemNotice(id, arg, systemText));
}

void TellSettingsStoreProblems(Notices& notices) {
  std::string where, detail;
  while (CurrentSettingsStore().TakeReadProblem(&where, &detail))
    NotifySettingsError(notices, IDS_OPEN_FAILED, where, detail);
}

int WriteSettingsString(Notices& notices, const char* section, const char* valueName, const char* text) {
  SettingsStore& store = CurrentSettingsStore();
  std::string name = valueName ? valueName : "";
  return Report(notices,
                text ? store.WriteText(Section(section), name, text) : store.DeleteValue(Section(section), name));
}

int WriteSettingsInt(Notices& notices, const char* section, const char* valueName, uint32_t value) {
  return Report(notices, CurrentSettingsStore().WriteNumber(Section(section), valueName ? valueName : "", value));
}

size_t GetSettingsString(const char* section, const char* valueName, const char* def, char* buffer,
                         size_t capacity) {
  if (!buffer || capacity == 0) return 0;
  StoreValue v;
  if (valueName && CurrentSettingsStore().Read(Section(section), valueName, &v) &&
      v.type == StoreValue::Type::Text && v.text.size() < capacity) {
    std::memcpy(buffer, v.text.c_str(), v.text.size() + 1);
    return v.text.size() + 1;
  }
  const char* d = def ? def : "";
  size_t n = std::strlen(d);
  if (n >= capacity) n = 0;  // does not fit: not copied
  std::memcpy(buffer, d, n);
  buffer[n] = '\0';
  return n;
}

uint32_t GetSettingsInt(const char* section, const char* valueName, uint32_t def) {
  StoreValue v;
  if (valueName && CurrentSettingsStore().Read(Section(section), valueName, &v) &&
      v.type == StoreValue::Type::Number)
    return v.number;
  return def;
}

std::string GetSettingsText(const char* section, const char* valueName, const std::string& def) {
  StoreValue v;
  if (valueName && CurrentSettingsStore().Read(Section(section), valueName, &v) &&
      v.type == StoreValue::Type::Text)
    return v.text;
  return def;
}

std::vector<std::string> SettingsSectionNames() {
  std::vector<std::string> names;
  CurrentSettingsStore().ListSections(&names);
  return names;
}

bool SettingsSectionExists(const std::string& name) {
  for (const std::string& n : SettingsSectionNames())
    if (SameName(n, name)) return true;
  return false;
}

size_t GetSettingsSectionNames(char* buffer, size_t capacity) {
  std::vector<std::string> names;
  if (!CurrentSettingsStore().ListSections(&names)) names.clear();
  return FillNameList(names, buffer, capacity);
}

size_t GetSettingsValueNames(char* buffer, size_t capacity) {
  std::vector<std::string> names;
  if (!CurrentSettingsStore().ListValues("", &names)) names.clear();
  return FillNameList(names, buffer, capacity);
}

int DeleteSettingsSection(Notices& notices, const char* section) {
  if (!section || !*section) return 0;
  return Report(notices, CurrentSettingsStore().DeleteSection(section));
}

SettingsBatch::SettingsBatch(Notices& notices) : notices_(notices), store_(CurrentSettingsStore()) {
  store_.BeginBatch();
}

SettingsBatch::~SettingsBatch() { Commit(); }

bool SettingsBatch::Commit() {
  if (!done_) {
    done_ = true;
    ok_ = Report(notices_, store_.EndBatch()) == 1;
  }
  return ok_;
}

}  // namespace tsl
