// The wrappers through which every settings access of the program goes. A
// section names a settings set; nullptr means the base key. They work over
// the current SettingsStore (the registry on Windows, a file elsewhere).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/notices.h"

namespace tsl {

class SettingsStore;

// 1 on success, 0 after telling IDS_REGISTRY_WRITE_FAILED. A nullptr `text`
// deletes the value (a value that does not exist counts as deleted).
int WriteSettingsString(Notices& notices, const char* section, const char* valueName, const char* text);
int WriteSettingsInt(Notices& notices, const char* section, const char* valueName, uint32_t value);

// A stored text that fits the buffer: copied, and the result is its byte
// count with the terminator. Otherwise `def` is copied when it fits (else
// the buffer is emptied) and the result is the length of what the buffer
// holds.
size_t GetSettingsString(const char* section, const char* valueName, const char* def, char* buffer,
                         size_t capacity);
// The stored number, or `def` when the value is missing or not a number.
uint32_t GetSettingsInt(const char* section, const char* valueName, uint32_t def);

// The names of the sets (sub-keys of at most 127 characters) or of the base
// key's values, each with a NUL, and one more NUL after the last; stops
// before a name that would not fit. The result counts the bytes of the
// names with their NULs (0, with an empty list, when the base key does not
// exist).
size_t GetSettingsSectionNames(char* buffer, size_t capacity);
size_t GetSettingsValueNames(char* buffer, size_t capacity);

// 1 when the set is gone (also when it never existed); 0 after telling
// IDS_REGISTRY_WRITE_FAILED.
int DeleteSettingsSection(Notices& notices, const char* section);

// Every set name, however many there are.
std::vector<std::string> SettingsSectionNames();
bool SettingsSectionExists(const std::string& name);
// The whole stored text, or `def`.
std::string GetSettingsText(const char* section, const char* valueName, const std::string& def);

// Holds the writes made while it lives and makes them together: one file
// replacement instead of dozens, and a set saved either whole or not at all.
class SettingsBatch {
 public:
  explicit SettingsBatch(Notices& notices);
  ~SettingsBatch();
  SettingsBatch(const SettingsBatch&) = delete;
  SettingsBatch& operator=(const SettingsBatch&) = delete;
  // False after telling IDS_REGISTRY_WRITE_FAILED once.
  bool Commit();

 private:
  Notices& notices_;
  SettingsStore& store_;
  bool done_ = false;
  bool ok_ = true;
};

// String `id` (two "%s": `arg`, then `systemText`) told as a warning; used
// for the store's write failures (IDS_REGISTRY_WRITE_FAILED) and
// unreadable settings files.
void NotifySettingsError(Notices& notices, unsigned id, const std::string& arg, const std::string& systemText);
// Tells a damaged or unreadable store that the reads since the last call
// came upon, once.
void TellSettingsStoreProblems(Notices& notices);

}  // namespace tsl
