#include "settings/settings_sets.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "common/ini_document.h"
#include "resources/string_ids.h"
#include "settings/settings_store.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tsl {

static_assert(std::is_trivially_copyable<SettingsSet>::value, "SettingsSet is copied as bytes");

namespace {

std::string PenName(const char* prefix, unsigned pen) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%s%u", prefix, pen);
  return buf;
}

void CopyBounded(char* dest, size_t size, const std::string& text) {
  size_t n = std::min(text.size(), size - 1);
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

}  // namespace

std::string StartupSetName() {
  // A buffer of 64: a longer stored name does not fit and gives "Default".
  char buf[64];
  GetSettingsString(nullptr, kStartupSetValue, kDefaultSetName, buf, sizeof buf);
  return buf;
}

int ReadIniFile(Notices& notices, SettingsSet* set, const char* name) {
  std::memset(static_cast<void*>(set), 0, sizeof *set);
  std::string setName = name && *name ? name : StartupSetName();
  CopyBounded(set->Name, sizeof set->Name, setName);
  const char* section = setName.c_str();

  // A hand-edited value that means nothing is not used: the default is,
  // and the user hears which.
  auto outOfRange = [&](const std::string& key, int64_t value, const std::string& what, int64_t def) {
    notices.Tell(MakeNotice(IDS_SETTING_OUT_OF_RANGE,
                            {setName, key, std::to_string(value), what, std::to_string(def)}));
  };
  for (unsigned pen = 0; pen < kConfiguredPens; ++pen) {
    std::string color = PenName("Pen", pen), width = PenName("PenWidth", pen);
    uint32_t c = GetSettingsInt(section, color.c_str(), DefaultPenColor(pen));
    if (c > kMaxPenColor) {
      outOfRange(color, c, "a colour 0x00BBGGRR up to 16777215", DefaultPenColor(pen));
      c = DefaultPenColor(pen);
    }
    set->PenColor[pen] = c;
    int32_t w = static_cast<int32_t>(GetSettingsInt(section, width.c_str(), 0));
    if (w < kMinPenWidth || w > kMaxPenWidth) {
      outOfRange(width, w, "a pen width from -80 to 50", 0);
      w = 0;
    }
    set->PenWidth[pen] = static_cast<int16_t>(w);
  }
  for (size_t i = 0; i < kReadOrderCount; ++i) {
    const SettingKey* key = FindSettingKey(kReadOrder[i]);
    uint32_t v = GetSettingsInt(section, key->name, static_cast<uint32_t>(key->initial));
    if (!InRange(*key, v)) {
      outOfRange(key->name, key->low < 0 ? static_cast<int32_t>(v) : static_cast<int64_t>(v), key->what,
                 key->initial);
      v = static_cast<uint32_t>(key->initial);
    }
    ApplyStoredValue(set, *key, v);
  }

  const SettingsSet defaults = DefaultSettings();
  set->Font = defaults.Font;
  // Face names longer than a LOGFONT holds are cut to its 31 characters.
  std::string face = GetSettingsText(section, "FontName", "Courier New");
  CopyBounded(set->Font.lfFaceName, sizeof set->Font.lfFaceName, face);

  set->Set(PrinterChosen, false);
  set->ScalePercent = 100.0f;
  TellSettingsStoreProblems(notices);
  return 1;
}

int DeleteSet(Notices& notices, const std::string& name) {
  SettingsBatch batch(notices);
  int ok = DeleteSettingsSection(notices, name.c_str());
  // The start-up set is "Default" again rather than a name that is gone.
  if (ok && FoldName(StartupSetName()) == FoldName(name))
    ok = WriteSettingsString(notices, nullptr, kStartupSetValue, nullptr);
  return batch.Commit() ? ok : 0;
}

SettingsSet LoadSettingsSet(Notices& notices, const std::string& name) {
  SettingsSet set;
  ReadIniFile(notices, &set, name.c_str());
  return set;
}

int SaveSet(Notices& notices, const SettingsSet& set, const char* name) {
  if (!name || !IsValidSetName(name)) return 0;
  int ok = 1;
  SettingsBatch batch(notices);
  for (unsigned pen = 1; pen < kConfiguredPens; ++pen) {
    ok &= WriteSettingsInt(notices, name, PenName("Pen", pen).c_str(), set.PenColor[pen]);
    ok &= WriteSettingsInt(notices, name, PenName("PenWidth", pen).c_str(),
                           static_cast<uint32_t>(static_cast<int32_t>(set.PenWidth[pen])));
  }
  for (size_t i = 0; i < kSaveOrderCount; ++i) {
    const SettingKey* key = FindSettingKey(kSaveOrder[i]);
    if (key->kind == SettingKind::Text) {
      char face[sizeof set.Font.lfFaceName];
      CopyBounded(face, sizeof face, std::string(set.Font.lfFaceName, strnlen(set.Font.lfFaceName, sizeof face)));
      ok &= WriteSettingsString(notices, name, key->name, face);
    } else {
      ok &= WriteSettingsInt(notices, name, key->name, StoredValue(set, *key));
    }
  }
  ok &= WriteSettingsString(notices, nullptr, kStartupSetValue, name);
  if (!batch.Commit()) ok = 0;
  return ok;
}

std::string NormalizeSetName(const std::string& name) {
  const char* trim = " \t\r\n[]";
  size_t begin = name.find_first_not_of(trim);
  if (begin == std::string::npos) return std::string();
  size_t end = name.find_last_not_of(trim);
  return name.substr(begin, end - begin + 1);
}

bool IsValidSetName(const std::string& name) {
  if (name.empty() || name.size() > kMaxSetName || NormalizeSetName(name) != name) return false;
  return IsValidStoreSection(name);
}

void InitUtil(Notices& notices, const char* programPath) {
  std::string path = programPath ? programPath : CurrentProgramPath();
  // Rewritten only when changed: on POSIX every write replaces the file.
  if (GetSettingsText(nullptr, "ImagePath", "") != path ||
      GetSettingsText(nullptr, "CurrentVersion", "") != kCurrentVersion) {
    SettingsBatch batch(notices);
    WriteSettingsString(notices, nullptr, "ImagePath", path.c_str());
    WriteSettingsString(notices, nullptr, "CurrentVersion", kCurrentVersion);
    batch.Commit();
  }
}

void TerminateUtil() {}

bool SameSettings(const SettingsSet& a, const SettingsSet& b) {
  const gdi::LogFont &fa = a.Font, &fb = b.Font;
  return std::strncmp(a.Name, b.Name, sizeof a.Name) == 0 &&
         std::memcmp(a.PenColor, b.PenColor, sizeof a.PenColor) == 0 &&
         std::memcmp(a.PenWidth, b.PenWidth, sizeof a.PenWidth) == 0 && a.FramePicture == b.FramePicture &&
         a.PageWidth == b.PageWidth && a.PageHeight == b.PageHeight && a.Rotation == b.Rotation &&
         a.InitialCmdBuffer == b.InitialCmdBuffer && a.ExportSize == b.ExportSize && a.AutoPrint == b.AutoPrint &&
         a.AutoExport == b.AutoExport && a.Flags == b.Flags && a.ScalePercent == b.ScalePercent &&
         fa.lfHeight == fb.lfHeight && fa.lfWidth == fb.lfWidth && fa.lfEscapement == fb.lfEscapement &&
         fa.lfOrientation == fb.lfOrientation && fa.lfWeight == fb.lfWeight && fa.lfItalic == fb.lfItalic &&
         fa.lfUnderline == fb.lfUnderline && fa.lfStrikeOut == fb.lfStrikeOut && fa.lfCharSet == fb.lfCharSet &&
         fa.lfOutPrecision == fb.lfOutPrecision && fa.lfClipPrecision == fb.lfClipPrecision &&
         fa.lfQuality == fb.lfQuality && fa.lfPitchAndFamily == fb.lfPitchAndFamily &&
         std::strncmp(fa.lfFaceName, fb.lfFaceName, sizeof fa.lfFaceName) == 0;
}

}  // namespace tsl
