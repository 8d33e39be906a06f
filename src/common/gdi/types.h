// Plain GDI-shaped values shared by the interpreter, the recorder and the
// readers. They mirror the Windows layouts so that records round-trip.
#pragma once
#include <cstdint>

namespace gdi {

using COLORREF = uint32_t;  // 0x00BBGGRR
using Handle = uint32_t;    // 0 = none; stock objects are 0x80000000 | index

constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFF; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }

struct Point {
  int32_t x = 0, y = 0;
};
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct Size {
  int32_t cx = 0, cy = 0;
};

// LOGFONTA with the face name as 8-bit text.
struct LogFont {
  int32_t lfHeight = 0;
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = 0;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 0;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};

struct LogPen {
  uint32_t style = 0;
  int32_t width = 0;
  COLORREF color = 0;
  // Made by ExtCreatePen (a solid brush): a PS_GEOMETRIC pen and, with
  // PS_USERSTYLE, the lengths of its dashes and gaps in logical units.
  bool extended = false;
  uint32_t entries = 0;
  uint32_t dashes[16] = {};
};

struct LogBrush {
  uint32_t style = 0;  // BS_SOLID, BS_NULL, BS_HATCHED
  COLORREF color = 0;
  uint32_t hatch = 0;
};

// Mapping modes, graphics modes, background modes.
enum : int { MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5,
             MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };
enum : int { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// Text alignment flags.
enum : uint32_t { TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
                  TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };

// Pen styles; the end cap and join bits and the pen type of ExtCreatePen.
enum : uint32_t { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
                  PS_NULL = 5, PS_INSIDEFRAME = 6, PS_USERSTYLE = 7, PS_STYLE_MASK = 0x0F };
enum : uint32_t { PS_ENDCAP_ROUND = 0, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200,
                  PS_JOIN_ROUND = 0, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000,
                  PS_COSMETIC = 0, PS_GEOMETRIC = 0x10000 };

// Brush styles and hatches.
enum : uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };
enum : uint32_t { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3,
                  HS_CROSS = 4, HS_DIAGCROSS = 5 };

// Fill modes, arc directions.
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };

// Stock objects.
enum : int { WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
             NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10,
             ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14,
             DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17 };
constexpr Handle kStockFlag = 0x80000000u;
constexpr Handle GetStockObject(int index) { return kStockFlag | static_cast<uint32_t>(index); }
constexpr bool IsStock(Handle h) { return (h & kStockFlag) != 0; }

}  // namespace gdi
