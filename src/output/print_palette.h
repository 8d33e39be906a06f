// The palettes that printing a metafile with OpenGL records needs, as pure
// functions over plain entries, so that they can be checked without a
// printer: the palette of an RGB pixel format, the default colours placed
// into a 3-3-2 palette, and the palettes of colour-index formats.
#pragma once
#include <cstdint>
#include <vector>

namespace tsl {

struct PalEntry {
  uint8_t red = 0, green = 0, blue = 0, flags = 0;
  bool operator==(const PalEntry& o) const {
    return red == o.red && green == o.green && blue == o.blue && flags == o.flags;
  }
  bool operator!=(const PalEntry& o) const { return !(*this == o); }
};

constexpr uint8_t kPcReserved = 0x01, kPcNoCollapse = 0x04;

// The 20 static colours of the system's default palette, in its order.
extern const PalEntry kDefaultPalEntries[20];
// The system colours that a palette taking the whole system palette
// overrides (COLOR_SCROLLBAR .. COLOR_BTNHIGHLIGHT), and what they become:
// white or black, as palette-relative values (0x02bbggrr).
constexpr int kStaticColours = 21;
extern const int kStaticIndex[kStaticColours];
extern const uint32_t kBlackAndWhite[kStaticColours];

struct PixelLayout {
  int colorBits = 0;
  int redBits = 0, redShift = 0, greenBits = 0, greenShift = 0, blueBits = 0, blueShift = 0;
};

// 2^colorBits entries (colorBits 1..8), entry j with each component
// round(((j >> shift) & mask) * 255 / mask), flagged PC_NOCOLLAPSE.
// Empty for a layout it cannot describe.
std::vector<PalEntry> RgbFormatPalette(const PixelLayout& layout);

// For the 3-3-2 layout (red 3 bits at 0, green 3 at 3, blue 2 at 6): puts
// each default colour on the entry that has its colour, or else on the
// unclaimed entry nearest in squared RGB distance, and returns the 20
// chosen indexes; the palette is changed accordingly. Empty (and the
// palette untouched) for any other layout.
std::vector<int> PlaceDefaultColours(const PixelLayout& layout, std::vector<PalEntry>* palette);

// Colour-index formats: 16 entries for 4 bits (the first and the last 8
// default colours), 256 for 8 bits (the 20 default colours, then red j,
// green j - 1, blue j - 2 for j = 19..254), else a 4-4-4 colour cube of
// 4096 entries.
std::vector<PalEntry> ColorIndexPalette(int colorBits);

}  // namespace tsl
