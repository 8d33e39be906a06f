#include "settings/settings_keys.h"

#include <cstdlib>

#include "common/ini_document.h"

namespace tsl {

namespace {

uint32_t Widen(int16_t v) { return static_cast<uint32_t>(static_cast<int32_t>(v)); }
int16_t Narrow(uint32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

constexpr SettingKey Flag(const char* name, SettingsFlag flag, bool on) {
  return SettingKey{name, SettingKind::Flag, flag, nullptr, nullptr, on ? 1 : 0};
}

}  // namespace

const SettingKey kSettingKeys[] = {
    Flag("AutoCopy", AutoCopy, true),
    Flag("NoAutoClose", NoAutoClose, false),
    Flag("NoNOPWarnings", NoNOPWarnings, false),
    Flag("NoInfoMessages", NoInfoMessages, false),
    Flag("CompatibilityMode", CompatibilityMode, true),
    Flag("AssumeIN", AssumeIN, true),
    Flag("MirrorX", MirrorX, false),
    Flag("MirrorY", MirrorY, false),
    Flag("OEMConvert", OEMConvert, true),
    Flag("LJMode", LJMode, false),
    Flag("DrawChars", DrawChars, false),
    Flag("MultiplePages", MultiplePages, false),
    Flag("HighResolution", HighResolution, false),
    Flag("Normalize", Normalize, false),
    Flag("PurgeLogs", PurgeLogs, false),
    Flag("IgnorePC", IgnorePC, false),
    Flag("IgnoreLT", IgnoreLT, false),
    Flag("PurgeEMF", PurgeEMF, false),
    Flag("NoWarnings", NoWarnings, false),
    Flag("AutoEMZ", AutoEMZ, false),
    {"FramePicture", SettingKind::Number, SettingsFlag{},
     [](const SettingsSet& s) { return Widen(s.FramePicture); },
     [](SettingsSet& s, uint32_t v) { s.FramePicture = Narrow(v); }, 1, -32768, 100,
     "a margin in mm from 0 to 100, or a negative number to expand to the paper size"},
    {"PageWidth", SettingKind::Number, SettingsFlag{}, [](const SettingsSet& s) { return Widen(s.PageWidth); },
     [](SettingsSet& s, uint32_t v) { s.PageWidth = Narrow(v); }, 297, 1, 32767,
     "a paper width in mm from 1 to 32767"},
    {"PageHeight", SettingKind::Number, SettingsFlag{}, [](const SettingsSet& s) { return Widen(s.PageHeight); },
     [](SettingsSet& s, uint32_t v) { s.PageHeight = Narrow(v); }, 210, 1, 32767,
     "a paper height in mm from 1 to 32767"},
    {"InitialCmdBuffer", SettingKind::Number, SettingsFlag{},
     [](const SettingsSet& s) { return s.InitialCmdBuffer; },
     [](SettingsSet& s, uint32_t v) { s.InitialCmdBuffer = v; }, 1024, 1, 1048576,
     "a buffer size in bytes from 1 to 1048576"},
    {"FontName", SettingKind::Text, SettingsFlag{}, nullptr, nullptr, 0},
};
const size_t kSettingKeyCount = sizeof kSettingKeys / sizeof kSettingKeys[0];

const SettingKey* FindSettingKey(const std::string& name) {
  for (const SettingKey& k : kSettingKeys)
    if (SameName(k.name, name)) return &k;
  return nullptr;
}

bool ParsePenKey(const std::string& name, bool* width, unsigned* pen) {
  size_t prefix;
  if (name.size() > 8 && SameName(name.substr(0, 8), "PenWidth")) {
    prefix = 8;
    *width = true;
  } else if (name.size() > 3 && SameName(name.substr(0, 3), "Pen")) {
    prefix = 3;
    *width = false;
  } else {
    return false;
  }
  std::string digits = name.substr(prefix);
  if (digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) return false;
  unsigned v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v >= static_cast<unsigned>(kPenTableSize)) return false;
  *pen = v;
  return true;
}

bool InRange(const SettingKey& key, uint32_t stored) {
  if (key.kind != SettingKind::Number) return true;
  // The buffer size is unsigned; the 16-bit values are stored sign-extended.
  int64_t v = key.low >= 0 ? static_cast<int64_t>(stored) : static_cast<int64_t>(static_cast<int32_t>(stored));
  return v >= key.low && v <= key.high;
}

uint32_t StoredValue(const SettingsSet& set, const SettingKey& key) {
  if (key.kind == SettingKind::Flag) return set.Has(key.flag) ? 0xFFFFFFFFu : 0u;
  return key.get ? key.get(set) : 0;
}

void ApplyStoredValue(SettingsSet* set, const SettingKey& key, uint32_t value) {
  if (key.kind == SettingKind::Flag) set->Set(key.flag, (value & 1) != 0);
  else if (key.put) key.put(*set, value);
}

const char* const kReadOrder[] = {
    "IgnoreLT",     "NoWarnings",  "PurgeEMF",          "InitialCmdBuffer", "AutoCopy",   "FramePicture",
    "PageWidth",    "PageHeight",  "NoAutoClose",       "NoNOPWarnings",    "NoInfoMessages",
    "CompatibilityMode", "AssumeIN", "IgnorePC",        "OEMConvert",       "LJMode",     "DrawChars",
    "HighResolution", "Normalize", "PurgeLogs",         "MirrorX",          "MirrorY",    "MultiplePages",
    "AutoEMZ"};
const size_t kReadOrderCount = sizeof kReadOrder / sizeof kReadOrder[0];

const char* const kSaveOrder[] = {
    "IgnoreLT",   "NoWarnings",     "PurgeEMF",      "AutoEMZ",        "FramePicture",      "AutoCopy",
    "PageWidth",  "PageHeight",     "NoAutoClose",   "PurgeLogs",      "NoNOPWarnings",     "CompatibilityMode",
    "AssumeIN",   "NoInfoMessages", "FontName",      "OEMConvert",     "LJMode",            "DrawChars",
    "MultiplePages", "HighResolution", "Normalize",  "InitialCmdBuffer", "IgnorePC",        "MirrorX",
    "MirrorY"};
const size_t kSaveOrderCount = sizeof kSaveOrder / sizeof kSaveOrder[0];

const char* const kExportOrder[] = {
    "IgnoreLT",    "NoWarnings",    "PurgeEMF",       "FramePicture",     "AutoCopy",  "PageWidth",
    "PageHeight",  "NoAutoClose",   "PurgeLogs",      "NoNOPWarnings",    "CompatibilityMode",
    "AssumeIN",    "NoInfoMessages", "FontName",      "OEMConvert",       "LJMode",    "DrawChars",
    "MultiplePages", "HighResolution", "Normalize",   "InitialCmdBuffer", "IgnorePC",  "AutoEMZ",
    "MirrorX",     "MirrorY"};
const size_t kExportOrderCount = sizeof kExportOrder / sizeof kExportOrder[0];

const char* const kImportOrder[] = {
    "IgnoreLT",    "NoWarnings",    "PurgeEMF",       "FramePicture",     "AutoCopy",  "PageWidth",
    "PageHeight",  "NoAutoClose",   "PurgeLogs",      "NoNOPWarnings",    "NoInfoMessages",
    "CompatibilityMode", "AssumeIN", "FontName",      "OEMConvert",       "LJMode",    "DrawChars",
    "MultiplePages", "HighResolution", "Normalize",   "InitialCmdBuffer", "IgnorePC",  "AutoEMZ",
    "MirrorX",     "MirrorY"};
const size_t kImportOrderCount = sizeof kImportOrder / sizeof kImportOrder[0];

}  // namespace tsl
