#include "output/print_palette.h"

#include <cmath>

namespace tsl {

const PalEntry kDefaultPalEntries[20] = {
    {0, 0, 0, 0},       {0x80, 0, 0, 0},    {0, 0x80, 0, 0},       {0x80, 0x80, 0, 0},    {0, 0, 0x80, 0},
    {0x80, 0, 0x80, 0}, {0, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0}, {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0},
    {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0}, {0x80, 0x80, 0x80, 0}, {0xFF, 0, 0, 0},    {0, 0xFF, 0, 0},
    {0xFF, 0xFF, 0, 0}, {0, 0, 0xFF, 0},    {0xFF, 0, 0xFF, 0},    {0, 0xFF, 0xFF, 0},    {0xFF, 0xFF, 0xFF, 0},
};

const int kStaticIndex[kStaticColours] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};

// White for the window, menu and button faces, black for everything drawn
// on them.
const uint32_t kBlackAndWhite[kStaticColours] = {
    0x02FFFFFF, 0x02000000, 0x02000000, 0x02FFFFFF, 0x02FFFFFF, 0x02FFFFFF, 0x02000000,
    0x02000000, 0x02000000, 0x02FFFFFF, 0x02FFFFFF, 0x02FFFFFF, 0x02FFFFFF, 0x02000000,
    0x02FFFFFF, 0x02FFFFFF, 0x02000000, 0x02000000, 0x02000000, 0x02000000, 0x02000000,
};

namespace {

uint8_t Component(int j, int bits, int shift) {
  int mask = (1 << bits) - 1;
  return static_cast<uint8_t>(std::lround(((j >> shift) & mask) * 255.0 / mask));
}

bool Is332(const PixelLayout& l) {
  return l.colorBits == 8 && l.redBits == 3 && l.redShift == 0 && l.greenBits == 3 && l.greenShift == 3 &&
         l.blueBits == 2 && l.blueShift == 6;
}

int Distance(const PalEntry& a, const PalEntry& b) {
  int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
  return dr * dr + dg * dg + db * db;
}

}  // namespace

std::vector<PalEntry> RgbFormatPalette(const PixelLayout& l) {
  std::vector<PalEntry> out;
  auto fits = [](int bits, int shift) { return bits >= 1 && bits <= 8 && shift >= 0 && shift + bits <= 8; };
  if (l.colorBits < 1 || l.colorBits > 8 || !fits(l.redBits, l.redShift) || !fits(l.greenBits, l.greenShift) ||
      !fits(l.blueBits, l.blueShift))
    return out;
  int n = 1 << l.colorBits;
  out.resize(n);
  for (int j = 0; j < n; ++j)
    out[j] = {Component(j, l.redBits, l.redShift), Component(j, l.greenBits, l.greenShift),
              Component(j, l.blueBits, l.blueShift), kPcNoCollapse};
  return out;
}

std::vector<int> PlaceDefaultColours(const PixelLayout& layout, std::vector<PalEntry>* palette) {
  std::vector<int> chosen;
  if (!Is332(layout) || palette->size() != 256) return chosen;
  // Colours the palette has already keep their entries first; only then
  // do the others look for the nearest free one. Taken in one pass, a
  // colour near white (cream) would take white's entry and be overwritten.
  std::vector<bool> claimed(palette->size(), false);
  chosen.assign(20, -1);
  for (size_t k = 0; k < 20; ++k)
    for (size_t i = 0; i < palette->size(); ++i)
      if (!claimed[i] && Distance((*palette)[i], kDefaultPalEntries[k]) == 0) {
        claimed[i] = true;
        chosen[k] = static_cast<int>(i);
        break;
      }
  for (size_t k = 0; k < 20; ++k) {
    if (chosen[k] >= 0) continue;
    int best = -1, bestDistance = 0;
    for (size_t i = 0; i < palette->size(); ++i) {
      int d = Distance((*palette)[i], kDefaultPalEntries[k]);
      if (!claimed[i] && (best < 0 || d < bestDistance)) best = static_cast<int>(i), bestDistance = d;
    }
    claimed[best] = true;
    chosen[k] = best;
  }
  for (PalEntry& e : *palette) e.flags = kPcNoCollapse;
  for (size_t k = 0; k < chosen.size(); ++k) {
    PalEntry e = kDefaultPalEntries[k];
    e.flags = kPcNoCollapse;
    (*palette)[chosen[k]] = e;
  }
  return chosen;
}

std::vector<PalEntry> ColorIndexPalette(int colorBits) {
  std::vector<PalEntry> out;
  if (colorBits == 4) {
    for (int i = 0; i < 8; ++i) out.push_back(kDefaultPalEntries[i]);
    for (int i = 12; i < 20; ++i) out.push_back(kDefaultPalEntries[i]);
  } else if (colorBits == 8) {
    for (const PalEntry& e : kDefaultPalEntries) out.push_back(e);
    for (int j = 19; j <= 254; ++j)
      out.push_back({static_cast<uint8_t>(j), static_cast<uint8_t>(j - 1), static_cast<uint8_t>(j - 2), 0});
  } else {
    for (int i = 0; i < 4096; ++i)
      out.push_back({static_cast<uint8_t>(((i >> 8) & 15) * 17), static_cast<uint8_t>(((i >> 4) & 15) * 17),
                     static_cast<uint8_t>((i & 15) * 17), 0});
  }
  return out;
}

}  // namespace tsl
