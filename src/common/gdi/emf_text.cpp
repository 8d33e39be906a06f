#include "common/gdi/emf_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/gdi/emf_types.h"

namespace gdi {

namespace {
// Courier New in font units of 2048 to the em.
constexpr int64_t kEm = 2048, kAscent = 1705, kDescent = 615, kAdvance = 1229;

int32_t Scaled(int64_t v, int64_t num, int64_t den) {
  return static_cast<int32_t>((v * num + den / 2) / den);
}

constexpr size_t kTextHeader = 76;  // fixed part of EMR_EXTTEXTOUTW
}  // namespace

FontMetrics MetricsOf(const LogFont& f) {
  int64_t em;
  if (f.lfHeight < 0) {
    em = -int64_t{f.lfHeight};
  } else if (f.lfHeight > 0) {
    em = (int64_t{f.lfHeight} * kEm + (kAscent + kDescent) / 2) / (kAscent + kDescent);
  } else {
    em = 16;
  }
  FontMetrics m;
  m.ascent = Scaled(em, kAscent, kEm);
  m.descent = Scaled(em, kDescent, kEm);
  if (f.lfHeight > 0) m.descent = f.lfHeight - m.ascent;  // the cell is exactly the height
  m.advance = f.lfWidth != 0 ? static_cast<int32_t>(std::min<int64_t>(
                                   std::llabs(int64_t{f.lfWidth}), std::numeric_limits<int32_t>::max()))
                             : Scaled(em, kAdvance, kEm);
  return m;
}

LogFont StockFont(Handle h) {
  LogFont f;
  switch (h & ~kStockFlag) {
    case OEM_FIXED_FONT: case ANSI_FIXED_FONT: case SYSTEM_FIXED_FONT:
      f.lfHeight = 12;
      f.lfWidth = 8;
      f.lfPitchAndFamily = 0x31;
      break;
    default:
      f.lfHeight = 16;
      f.lfWidth = 7;
      break;
  }
  f.lfWeight = 400;
  return f;
}

void BuildFontRecord(RecordBuilder& rb, uint32_t slot, const LogFont& f) {
  rb.Begin(EMR_EXTCREATEFONTINDIRECTW);
  rb.U32(slot);
  rb.I32(f.lfHeight);
  rb.I32(f.lfWidth);
  rb.I32(f.lfEscapement);
  rb.I32(f.lfOrientation);
  rb.I32(f.lfWeight);
  for (uint8_t b : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                    f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
    rb.U8(b);
  // The face name stops at its NUL or after 31 characters, leaving room for
  // the terminating NUL in the 32 WCHARs.
  size_t len = 0;
  while (len < sizeof f.lfFaceName - 1 && f.lfFaceName[len]) ++len;
  for (size_t i = 0; i < 32; ++i)
    rb.U16(i < len ? Cp1252ToUnicode(static_cast<uint8_t>(f.lfFaceName[i])) : 0);
  // elfFullName, elfStyle, and the rest of EXTLOGFONTW.
  rb.Zeros(332 - rb.Size());
  rb.End();
}

Rect TextBox(Point ref, uint32_t align, const FontMetrics& m, size_t n, int32_t escapement,
             bool yUp) {
  // In a frame with u along the baseline and v upward on the page.
  const double width = static_cast<double>(m.advance) * static_cast<double>(n);
  double u0 = 0;
  if ((align & TA_CENTER) == TA_CENTER) u0 = -width / 2;
  else if (align & TA_RIGHT) u0 = -width;
  const double ascent = m.ascent, descent = m.descent;
  double v0 = -descent, v1 = ascent;  // TA_BASELINE
  if ((align & TA_BASELINE) != TA_BASELINE) {
    if (align & TA_BOTTOM) v0 = 0, v1 = ascent + descent;
    else v0 = -(ascent + descent), v1 = 0;  // TA_TOP
  }
  const double a = escapement * 3.14159265358979323846 / 1800.0;
  const double c = std::cos(a), s = std::sin(a);
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  bool first = true;
  for (double u : {u0, u0 + width}) {
    for (double v : {v0, v1}) {
      const double x = ref.x + (u * c - v * s);
      const double y = ref.y + (yUp ? 1 : -1) * (u * s + v * c);
      if (first) {
        minX = maxX = x, minY = maxY = y;
        first = false;
      }
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
  }
  auto clamp = [](double v) {
    return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
  };
  return Rect{clamp(std::floor(minX)), clamp(std::floor(minY)), clamp(std::ceil(maxX)),
              clamp(std::ceil(maxY))};
}

size_t TextRecordSize(size_t n) {
  constexpr size_t kMax = std::numeric_limits<uint32_t>::max() / 8;
  if (n > kMax) return 0;
  return kTextHeader + (n * 2 + 3) / 4 * 4 + n * 4;
}

void BuildTextRecord(RecordBuilder& rb, const TextRecord& t) {
  rb.Begin(EMR_EXTTEXTOUTW);
  rb.RectL(t.bounds);
  rb.U32(static_cast<uint32_t>(t.graphicsMode));
  rb.F32(t.exScale);
  rb.F32(t.eyScale);
  rb.PointL(t.reference);
  rb.U32(static_cast<uint32_t>(t.n));
  const size_t offDx = kTextHeader + (t.n * 2 + 3) / 4 * 4;
  rb.U32(static_cast<uint32_t>(kTextHeader));  // offString
  rb.U32(0);                                    // fOptions
  rb.RectL(Rect{0, 0, -1, -1});                 // no clipping or opaque rectangle
  rb.U32(static_cast<uint32_t>(offDx));
  for (size_t i = 0; i < t.n; ++i) rb.U16(t.text[i]);
  rb.Pad4();
  for (size_t i = 0; i < t.n; ++i) rb.I32(t.advance);
  rb.End();
}

}  // namespace gdi
