#include "settings/settings_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "common/atomic_file.h"
#include "common/ini_document.h"
#include "common/notify.h"
#include "resources/string_ids.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"
#include "settings/settings_store.h"

namespace tsl {

namespace {

enum class Load { Ok, Missing, Failed };

Load LoadProfile(const char* file, IniDocument* doc, std::string* error) {
  std::string bytes;
  switch (ReadWholeFile(file, kMaxSettingsFileBytes, &bytes, error)) {
    case FileReadResult::Ok: *doc = IniDocument::Parse(bytes); return Load::Ok;
    case FileReadResult::Missing: *error = SysErrText(ENOENT); return Load::Missing;
    case FileReadResult::TooLarge:
      *error = "The file is too large for a settings file (more than 1 MB).";
      return Load::Failed;
    case FileReadResult::Failed: return Load::Failed;
  }
  return Load::Failed;
}

std::string Numbered(const char* prefix, unsigned n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%u", prefix, n);
  return buf;
}

// A value line cannot hold a line break; other control characters would
// make the line unreadable.
std::string Sanitize(const std::string& text) {
  std::string out(text);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return out;
}

void PutString(IniDocument* doc, const std::string& section, const std::string& key, const std::string& text) {
  doc->Set(section, key, Sanitize(text));
}

void PutInt(IniDocument* doc, const std::string& section, const std::string& key, int32_t value) {
  doc->Set(section, key, std::to_string(value));
}

// GetPrivateProfileString: the value without one pair of enclosing quotes,
// cut to `maxChars`.
std::string GetString(const IniDocument& doc, const std::string& section, const std::string& key,
                      const std::string& def, size_t maxChars) {
  const std::string* v = doc.Find(section, key);
  std::string out = v ? *v : def;
  if (v && out.size() >= 2 && (out.front() == '"' || out.front() == '\'') && out.back() == out.front())
    out = out.substr(1, out.size() - 2);
  if (out.size() > maxChars) out.resize(maxChars);
  return out;
}

int32_t GetInt(const IniDocument& doc, const std::string& section, const std::string& key, int32_t def) {
  return ProfileAtol(GetString(doc, section, key, std::to_string(def), 63).c_str());
}

void ExportSet(IniDocument* doc, const std::string& name, const SettingsSet& set) {
  for (unsigned pen = 1; pen < kConfiguredPens; ++pen) {
    PutInt(doc, name, Numbered("Pen", pen), static_cast<int32_t>(set.PenColor[pen]));
    PutInt(doc, name, Numbered("PenWidth", pen), set.PenWidth[pen]);
  }
  for (size_t i = 0; i < kExportOrderCount; ++i) {
    const SettingKey* key = FindSettingKey(kExportOrder[i]);
    if (key->kind == SettingKind::Text)
      PutString(doc, name, key->name, std::string(set.Font.lfFaceName, strnlen(set.Font.lfFaceName, kMaxFaceName)));
    else
      PutInt(doc, name, key->name, static_cast<int32_t>(StoredValue(set, *key)));
  }
}

void ImportSet(Notices& notices, const IniDocument& doc, const std::string& section, const char* name) {
  for (unsigned pen = 1; pen < kConfiguredPens; ++pen) {
    std::string color = Numbered("Pen", pen), width = Numbered("PenWidth", pen);
    // A pen the file lacks keeps the colour the set already has.
    uint32_t current = GetSettingsInt(name, color.c_str(), DefaultPenColor(pen));
    WriteSettingsInt(notices, name, color.c_str(), static_cast<uint32_t>(GetInt(doc, section, color, static_cast<int32_t>(current))));
    WriteSettingsInt(notices, name, width.c_str(), static_cast<uint32_t>(GetInt(doc, section, width, 0)));
  }
  for (size_t i = 0; i < kImportOrderCount; ++i) {
    const SettingKey* key = FindSettingKey(kImportOrder[i]);
    if (key->kind == SettingKind::Text)
      WriteSettingsString(notices, name, key->name, GetString(doc, section, key->name, "Courier New", 127).c_str());
    else
      WriteSettingsInt(notices, name, key->name, static_cast<uint32_t>(GetInt(doc, section, key->name, key->initial)));
  }
}

// The name a set of the file gets here: trimmed as the Save As box trims,
// and bounded to what SettingsSet::Name holds.
std::string ImportedName(const std::string& raw) {
  std::string name = NormalizeSetName(raw);
  if (name.size() > kMaxSetName) name = NormalizeSetName(name.substr(0, kMaxSetName));
  return name;
}

size_t FillList(const std::vector<std::string>& items, char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  buffer[0] = '\0';
  if (size > 1) buffer[1] = '\0';
  size_t used = 0;
  for (const std::string& item : items) {
    if (used + item.size() + 2 > size) break;
    std::memcpy(buffer + used, item.c_str(), item.size() + 1);
    used += item.size() + 1;
    buffer[used] = '\0';
  }
  return used;
}

int WriteProfile(Notices& notices, const char* file, const IniDocument& doc) {
  std::string error;
  if (WriteFileAtomically(file, doc.Serialize(), &error)) return 1;
  NotifySettingsError(notices, IDS_EXPORT_FAILED, file, error);
  return 0;
}

// Loads `file` for a change of one key: a missing file starts empty.
bool LoadForChange(Notices& notices, const char* file, IniDocument* doc) {
  std::string error;
  Load r = LoadProfile(file, doc, &error);
  if (r == Load::Failed) {
    NotifySettingsError(notices, IDS_EXPORT_FAILED, file, error);
    return false;
  }
  return true;
}

}  // namespace

int32_t ProfileAtol(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > int64_t{1} << 32) v = int64_t{1} << 32;  // saturate; clamped below
  }
  if (negative) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int ExportSettings(Notices& notices, const char* file) {
  if (!file || !*file) return 0;
  IniDocument doc;
  if (!LoadForChange(notices, file, &doc)) return 0;
  std::vector<std::string> names = SettingsSectionNames();
  unsigned n = 0;
  for (const std::string& name : names) {
    SettingsSet set;
    ReadIniFile(notices, &set, name.c_str());
    ExportSet(&doc, name, set);
    PutString(&doc, kSettingsIndexSection, Numbered("Set", ++n), name);
  }
  char startup[192];
  GetSettingsString(nullptr, kStartupSetValue, kDefaultSetName, startup, sizeof startup);
  PutString(&doc, kSettingsIndexSection, kStartupSetValue, startup);
  PutInt(&doc, kSettingsIndexSection, "NumSets", static_cast<int32_t>(n + 1));
  return WriteProfile(notices, file, doc);
}

int ImportSettings(Notices& notices, const char* file, bool replace, ImportSummary* summary) {
  ImportSummary local;
  ImportSummary& report = summary ? *summary : local;
  report = ImportSummary();
  if (!file || !*file) return 0;
  IniDocument doc;
  std::string error;
  if (LoadProfile(file, &doc, &error) != Load::Ok) {
    NotifySettingsError(notices, IDS_OPEN_FAILED, file, error);
    return 0;
  }
  // Importing something else would replace the "Default" set with defaults.
  if (!doc.HasSection(kSettingsIndexSection) && !doc.HasSection(kDefaultSetName)) {
    NotifySettingsError(notices, IDS_OPEN_FAILED, file, "The file is not a settings file: it has no [Tessella Settings] section.");
    return 0;
  }

  SettingsBatch batch(notices);
  if (replace) {
    for (const std::string& name : SettingsSectionNames())
      if (name != kDefaultSetName) DeleteSettingsSection(notices, name.c_str());
  }
  int32_t count = GetInt(doc, kSettingsIndexSection, "NumSets", 1);
  // Past the index's own keys every name falls back to "Default": a huge
  // count adds nothing but time.
  int64_t limit = static_cast<int64_t>(doc.KeyCount(kSettingsIndexSection)) + 1;
  int64_t n = count < limit ? count : limit;
  std::unordered_set<std::string> seen;
  for (int64_t i = 1; i <= n; ++i) {
    if (report.imported.size() == kMaxImportedSets) {
      report.overLimit = static_cast<size_t>(n - i + 1);
      break;
    }
    std::string raw =
        GetString(doc, kSettingsIndexSection, Numbered("Set", static_cast<unsigned>(i)), kDefaultSetName, 1023);
    std::string name = ImportedName(raw);
    if (!IsValidSetName(name)) {
      report.skipped.push_back(raw);
      continue;
    }
    if (!seen.insert(FoldName(name)).second) continue;
    ImportSet(notices, doc, raw, name.c_str());
    report.imported.push_back(name);
  }
  std::string startup = ImportedName(GetString(doc, kSettingsIndexSection, kStartupSetValue, kDefaultSetName, 1023));
  if (IsValidSetName(startup)) {
    WriteSettingsString(notices, nullptr, kStartupSetValue, startup.c_str());
    report.startupSet = startup;
  }
  return batch.Commit() ? 1 : 0;
}

int ExportSettingsString(Notices& notices, const char* section, const char* key, const char* text,
                         const char* file) {
  if (!section || !key || !file) return 0;
  IniDocument doc;
  if (!LoadForChange(notices, file, &doc)) return 0;
  if (text) PutString(&doc, section, key, text);
  else doc.Remove(section, key);
  return WriteProfile(notices, file, doc);
}

int ExportSettingsInt(Notices& notices, const char* section, const char* key, int32_t value, const char* file) {
  return ExportSettingsString(notices, section, key, std::to_string(value).c_str(), file);
}

size_t ImportSettingsString(const char* section, const char* key, const char* def, char* buffer, size_t capacity,
                            const char* file) {
  if (!buffer || capacity == 0) return 0;
  IniDocument doc;
  std::string error;
  if (!file || LoadProfile(file, &doc, &error) != Load::Ok) doc = IniDocument();
  std::string v = GetString(doc, section ? section : "", key ? key : "", def ? def : "", capacity - 1);
  std::memcpy(buffer, v.c_str(), v.size() + 1);
  return v.size();
}

int32_t ImportSettingsInt(const char* section, const char* key, int32_t def, const char* file) {
  char buf[64];
  ImportSettingsString(section, key, std::to_string(def).c_str(), buf, sizeof buf, file);
  return ProfileAtol(buf);
}

size_t ImportSettingsSectionNames(char* buffer, size_t size, const char* file) {
  IniDocument doc;
  std::string error;
  if (!file || LoadProfile(file, &doc, &error) != Load::Ok) doc = IniDocument();
  return FillList(doc.SectionNames(), buffer, size);
}

size_t ImportSettingsSection(const char* section, char* buffer, size_t size, const char* file) {
  IniDocument doc;
  std::string error;
  if (!file || LoadProfile(file, &doc, &error) != Load::Ok) doc = IniDocument();
  std::vector<std::string> lines;
  if (section)
    for (const std::string& key : doc.KeyNames(section)) lines.push_back(key + "=" + *doc.Find(section, key));
  return FillList(lines, buffer, size);
}

}  // namespace tsl
