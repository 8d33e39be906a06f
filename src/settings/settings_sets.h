// Loading and saving settings sets, and the start-up bookkeeping.
#pragma once
#include <string>

#include "common/version.h"
#include "platform/notices.h"
#include "settings/settings_set.h"

namespace tsl {

constexpr const char* kCurrentVersion = TESSELLA_VERSION;
constexpr const char* kDefaultSetName = "Default";
// The base-key value naming the start-up set.
constexpr const char* kStartupSetValue = "Settings";

// Loads the set `name` (nullptr or "" = the start-up set) with every value
// that is not stored at its default. Creates nothing. Always 1; a store
// found damaged is told (once) and read as far as it can be.
int ReadIniFile(Notices& notices, SettingsSet* set, const char* name);
// The same as a value: the set a conversion should run with.
SettingsSet LoadSettingsSet(Notices& notices, const std::string& name = std::string());
// Removes the set `name`; when it is the start-up set, "Default" becomes
// the start-up set again. 1 when it is gone (also when it never existed);
// 0 after IDS_REGISTRY_WRITE_FAILED.
int DeleteSet(Notices& notices, const std::string& name);
// The name of the start-up set ("Default" when none is recorded).
std::string StartupSetName();

// Writes `set` as the set `name` (pens 1..16, not pen 0) and makes it the
// start-up set. 1 on success; 0 for a name that IsValidSetName refuses or
// after telling IDS_REGISTRY_WRITE_FAILED.
int SaveSet(Notices& notices, const SettingsSet& set, const char* name);

// A set name as the Save As box takes it: blanks, tabs, line breaks and
// square brackets trimmed from both ends.
std::string NormalizeSetName(const std::string& name);
// 1 to 47 characters, no control character, no backslash (it would make a
// nested registry key), nothing that NormalizeSetName would trim.
bool IsValidSetName(const std::string& name);

// Records the program's path ("ImagePath", nullptr = the running program)
// and "CurrentVersion" in the base key. (The small-block pool it once put
// in service is gone: the system's allocator serves every size.)
void InitUtil(Notices& notices, const char* programPath = nullptr);
void TerminateUtil();

// Field-by-field equality (the record has padding, so no memcmp).
bool SameSettings(const SettingsSet& a, const SettingsSet& b);

}  // namespace tsl
