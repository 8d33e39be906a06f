#include "common/colors.h"

#include <cctype>
#include <strings.h>

namespace tsl {

const NamedColor ncColors[16] = {
    {"BLACK", 0x000000},   {"BLUE", 0xFF0000},   {"TURQUOISE", 0xFFFF00}, {"GREEN", 0x00FF00},
    {"PINK", 0xFF00FF},    {"RED", 0x0000FF},    {"YELLOW", 0x00FFFF},    {"WHITE", 0xFFFFFF},
    {"DARKBLUE", 0x800000}, {"TEAL", 0x808000},  {"OLIVE", 0x008000},     {"VIOLET", 0x800080},
    {"DARKRED", 0x000080}, {"BROWN", 0x008080},  {"GRAY50", 0x808080},    {"GRAY75", 0xC0C0C0},
};

gdi::COLORREF NameToColor(const char* text) {
  if (!text) return 0;
  if (text[0] == '#') {
    uint32_t v = 0;
    for (const char* p = text + 1; *p; ++p) {
      int c = std::tolower(static_cast<unsigned char>(*p));
      if (c >= '0' && c <= '9') v = v * 16 + static_cast<uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') v = v * 16 + static_cast<uint32_t>(c - 'a' + 10);
    }
    return v;
  }
  for (const NamedColor& nc : ncColors)
    if (strcasecmp(nc.name, text) == 0) return nc.value;
  return 0;
}

const char* ColorName(gdi::COLORREF c) {
  for (const NamedColor& nc : ncColors)
    if (nc.value == c) return nc.name;
  return nullptr;
}

}  // namespace tsl
