// What the Open HP-GL Special dialog shows and what it makes of the user's
// choice, apart from the dialog itself.
#pragma once
#include <cstdint>
#include <string>

#include "settings/settings_set.h"

namespace tsl::shell {

struct SpecialChoice {
  bool fixRotation = false;
  unsigned rotation = 0;  // 0, 90, 180 or 270
  bool mirrorX = false;
  bool mirrorY = false;
  float scale = 100;  // percent
};

// The remembered choice, packed: bits 0-15 rotation, bit 24 fix rotation,
// bit 25 mirror X, bit 26 mirror Y. kNoChoice until the first OK.
constexpr uint32_t kNoChoice = 0xFFFFFFFFu;
uint32_t PackChoice(const SpecialChoice& c);

// What the dialog opens with: the set's options before the first OK, the
// remembered ones after it.
SpecialChoice InitialChoice(uint32_t remembered, float rememberedScale, const SettingsSet& set);

// The scale as the combo box shows it ("%u%%", rounded), and the scale read
// back from it: its leading integer, 100 below 1. An empty text keeps
// `current`.
std::string ScaleText(float scale);
float ScaleFromText(const std::string& text, float current);

// The items of the scaling combo box.
constexpr const char* kScaleItems[] = {"25%", "33%", "50%", "100%", "200%", "300%", "400%"};

// The choice written into `set` for the one conversion.
void ApplyChoice(const SpecialChoice& c, SettingsSet* set);

}  // namespace tsl::shell
