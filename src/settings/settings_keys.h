// The stored settings of a set by their value names, and the orders in
// which they are read, saved, exported and imported.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/settings_set.h"

namespace tsl {

constexpr size_t kMaxSetName = 47;   // SettingsSet::Name holds 47 characters
constexpr size_t kMaxFaceName = 31;  // LOGFONT's face name holds 31

enum class SettingKind { Flag, Number, Text };

struct SettingKey {
  const char* name;
  SettingKind kind;
  SettingsFlag flag;                      // Flag
  uint32_t (*get)(const SettingsSet&);    // Number: the value as stored
  void (*put)(SettingsSet&, uint32_t);    // Number: from a stored value
  int32_t initial;                        // the default, as ReadIniFile and the import use it
  // Number: the values that mean something, as stored (16-bit values
  // sign-extended); anything else is replaced by the default when read.
  int64_t low = 0, high = 0;
  const char* what = nullptr;             // Number: what the value is, for messages
};

// What a pen's width and colour may hold: 0 = width from the plot, n > 0 =
// n times the normal width, -n = n pixels; a colour is 0x00BBGGRR.
constexpr int64_t kMinPenWidth = -80, kMaxPenWidth = 50;
constexpr int64_t kMaxPenColor = 0xFFFFFF;

// Whether a stored value of `key` (a Number) is one it can take.
bool InRange(const SettingKey& key, uint32_t stored);

// Every stored value except the pens: 20 flags, FramePicture, PageWidth,
// PageHeight, InitialCmdBuffer and the text FontName.
extern const SettingKey kSettingKeys[];
extern const size_t kSettingKeyCount;
// By name, without regard to case; nullptr for pens and unknown names.
const SettingKey* FindSettingKey(const std::string& name);

// "Pen%u" (colour) or "PenWidth%u" with a pen of 0..256, any case.
bool ParsePenKey(const std::string& name, bool* width, unsigned* pen);

// Flags are stored as 0xFFFFFFFF or 0 and read by bit 0; 16-bit numbers are
// stored sign-extended and read truncated to 16 bits.
uint32_t StoredValue(const SettingsSet& set, const SettingKey& key);
void ApplyStoredValue(SettingsSet* set, const SettingKey& key, uint32_t value);

// The orders, FontName included where it is written.
extern const char* const kReadOrder[];  // FontName is read last, apart
extern const size_t kReadOrderCount;
extern const char* const kSaveOrder[];
extern const size_t kSaveOrderCount;
extern const char* const kExportOrder[];
extern const size_t kExportOrderCount;
extern const char* const kImportOrder[];
extern const size_t kImportOrderCount;

}  // namespace tsl
