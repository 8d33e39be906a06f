// Fonts and text as a metafile DC records them: EMR_EXTCREATEFONTINDIRECTW
// and EMR_EXTTEXTOUTW, with the character cell used for the bounds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/gdi/emf_bytes.h"
#include "common/gdi/types.h"

namespace gdi {

// Character cell of a font in logical units. No font rasteriser is at hand
// here, so the cell is derived from the LOGFONT: a negative lfHeight is the
// em height and the cell is 1.133 em (Courier New's ascent 0.833 em plus
// descent 0.300 em); a positive lfHeight is the cell height; 0 stands for
// 16 units. The advance is |lfWidth| when given, else 0.6 em (Courier New's
// advance), the same for every character.
struct FontMetrics {
  int32_t advance = 0;
  int32_t ascent = 0;
  int32_t descent = 0;
};
FontMetrics MetricsOf(const LogFont& f);

// The LOGFONT a stock font stands for: the fixed fonts a 12-unit cell with
// 8-unit characters, the others (SYSTEM_FONT, the DC's default) 16 and 7.
LogFont StockFont(Handle h);

// The 332-byte record: slot, LOGFONTW with the face in UTF-16, the rest zero.
void BuildFontRecord(RecordBuilder& rb, uint32_t slot, const LogFont& f);

// The logical box covered by `n` characters drawn at `ref` with the text
// alignment `align`, turned by `escapement` tenths of a degree
// counterclockwise. `yUp` tells whether logical y grows upward.
Rect TextBox(Point ref, uint32_t align, const FontMetrics& m, size_t n, int32_t escapement,
             bool yUp);

struct TextRecord {
  Rect bounds;         // device units
  int graphicsMode = GM_COMPATIBLE;
  float exScale = 0, eyScale = 0;
  Point reference;
  const char16_t* text = nullptr;
  size_t n = 0;
  int32_t advance = 0;  // one per character
};
// Size in bytes of the record for n characters; 0 when it cannot be held.
size_t TextRecordSize(size_t n);
void BuildTextRecord(RecordBuilder& rb, const TextRecord& t);

}  // namespace gdi
