#include "shell/open_with_options_choice.h"

#include <cmath>
#include <cstdlib>

#include "common/notify.h"

namespace tsl::shell {

namespace {
constexpr uint32_t kFixBit = 1u << 24, kMirrorXBit = 1u << 25, kMirrorYBit = 1u << 26;

unsigned RadioRotation(unsigned degrees) {
  return degrees == 90 || degrees == 180 || degrees == 270 ? degrees : 0;
}
}  // namespace

uint32_t PackChoice(const SpecialChoice& c) {
  uint32_t w = c.rotation & 0xFFFFu;
  if (c.fixRotation) w |= kFixBit;
  if (c.mirrorX) w |= kMirrorXBit;
  if (c.mirrorY) w |= kMirrorYBit;
  return w;
}

SpecialChoice InitialChoice(uint32_t remembered, float rememberedScale, const SettingsSet& set) {
  SpecialChoice c;
  if (remembered == kNoChoice) {
    c.fixRotation = set.Has(Rotate);
    c.rotation = RadioRotation(set.Rotation);
    c.mirrorX = set.Has(MirrorX);
    c.mirrorY = set.Has(MirrorY);
    c.scale = set.ScalePercent;
  } else {
    c.fixRotation = (remembered & kFixBit) != 0;
    c.rotation = RadioRotation(remembered & 0xFFFFu);
    c.mirrorX = (remembered & kMirrorXBit) != 0;
    c.mirrorY = (remembered & kMirrorYBit) != 0;
    c.scale = rememberedScale;
  }
  return c;
}

std::string ScaleText(float scale) {
  double r = std::floor(static_cast<double>(scale) + 0.5);
  if (!(r >= 0)) r = 0;
  if (r > 4294967295.0) r = 4294967295.0;
  return Format("%u%%", static_cast<unsigned>(r));
}

float ScaleFromText(const std::string& text, float current) {
  if (text.empty()) return current;
  long n = std::strtol(text.c_str(), nullptr, 10);
  return n < 1 ? 100.0f : static_cast<float>(n);
}

void ApplyChoice(const SpecialChoice& c, SettingsSet* set) {
  set->Set(Rotate, c.fixRotation);
  set->Rotation = static_cast<uint16_t>(c.fixRotation ? RadioRotation(c.rotation) : 0);
  set->Set(MirrorX, c.mirrorX);
  set->Set(MirrorY, c.mirrorY);
  set->ScalePercent = c.scale;
}

}  // namespace tsl::shell
