// The built-in stroke font, drawn when the DrawChars setting is on.
#pragma once

namespace tsl {

// One zero-terminated string of stroke bytes per 7-bit code. A stroke byte is
// one point in the character grid: bit 7 set = draw to it, clear = move to
// it; bits 4-6 = x + 1; bits 0-3 = y + 4. The first point is measured from
// the character origin.
extern const unsigned char* const charset0[128];

// A stroke byte taken apart.
struct StrokePoint {
  bool draw;
  int x, y;
};
inline StrokePoint DecodeStroke(unsigned char b) {
  return {(b & 0x80) != 0, ((b >> 4) & 7) - 1, (b & 15) - 4};
}

}  // namespace tsl
