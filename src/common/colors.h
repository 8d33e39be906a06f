// Named colours.
#pragma once
#include "common/gdi/types.h"

namespace tsl {

struct NamedColor {
  const char* name;
  gdi::COLORREF value;
};
extern const NamedColor ncColors[16];

// "#rrggbb"-style hexadecimal after "#", or one of the 16 names (any case);
// an unknown name gives 0.
gdi::COLORREF NameToColor(const char* text);
// The name of `c` when it has one, else nullptr.
const char* ColorName(gdi::COLORREF c);

}  // namespace tsl
