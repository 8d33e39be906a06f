// Settings files (.SET): every settings set as an INI section, with the
// index section "Tessella Settings" (Set1, Set2, ..., Settings, NumSets).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_store.h"

#include "platform/notices.h"

namespace tsl {

constexpr const char* kSettingsIndexSection = "Tessella Settings";

// Writes every set into `file`, keeping whatever else the file holds, and
// replacing it at once. 1, or 0 after telling IDS_EXPORT_FAILED.
int ExportSettings(Notices& notices, const char* file);

// At most this many sets are taken from one file: more than the settings
// store can hold (a set takes over a kilobyte there), so that whatever was
// exported can be imported again.
constexpr size_t kMaxImportedSets = kMaxStoreFileBytes / 1024;

struct ImportSummary {
  std::vector<std::string> imported;  // the sets written, in file order
  std::vector<std::string> skipped;   // names in the index that cannot name a set
  size_t overLimit = 0;               // index entries left out past kMaxImportedSets
  std::string startupSet;             // the start-up set written ("" when kept)
};

// Imports the sets of `file`; with `replace`, every set but "Default" is
// deleted first. A file that cannot be read or holds neither the index
// section nor a "Default" section changes nothing: 0 after telling
// IDS_OPEN_FAILED. All changes are made together: 0 after telling
// IDS_REGISTRY_WRITE_FAILED when they fail.
int ImportSettings(Notices& notices, const char* file, bool replace, ImportSummary* summary = nullptr);

// One key of a settings file, in the way of the profile functions.
int ExportSettingsString(Notices& notices, const char* section, const char* key, const char* text,
                         const char* file);
int ExportSettingsInt(Notices& notices, const char* section, const char* key, int32_t value, const char* file);
// The value (truncated to the buffer) or `def`; the result is the number of
// characters copied.
size_t ImportSettingsString(const char* section, const char* key, const char* def, char* buffer, size_t capacity,
                            const char* file);
// The value read as text and converted with atol, so a text that is no
// number gives 0.
int32_t ImportSettingsInt(const char* section, const char* key, int32_t def, const char* file);
// "name\0name\0\0" and "key=value\0key=value\0\0"; the result counts the
// bytes before the final NUL.
size_t ImportSettingsSectionNames(char* buffer, size_t size, const char* file);
size_t ImportSettingsSection(const char* section, char* buffer, size_t size, const char* file);

// atol on 32-bit Windows: leading white space, a sign, digits up to the
// first other character; out-of-range values are clamped.
int32_t ProfileAtol(const char* text);

}  // namespace tsl
