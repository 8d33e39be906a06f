// Symbol mode (SM) and tick marks (TL, XT/YT). The symbol itself is drawn by
// DoPA through PlotChars.
#include "drawing/symbols.h"

#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/handlers.h"
#include "interpreter/char_grid.h"

namespace tsl {

namespace {
// Code page 437 bytes 0x80..0xFF in code page 1252, with the best-fit
// choices Windows makes where 1252 has no such character. A fixed table, so
// that every platform converts alike.
constexpr unsigned char kOem437ToAnsi1252[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 0x50, 0x83,
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAC, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    0xA6, 0xA6, 0xA6, 0xA6, 0xA6, 0xA6, 0xA6, 0x2B, 0x2B, 0xA6, 0xA6, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B,
    0x2B, 0x2D, 0x2D, 0x2B, 0x2D, 0x2B, 0xA6, 0xA6, 0x2B, 0x2B, 0x2D, 0x2D, 0xA6, 0x2D, 0x2B, 0x2D,
    0x2D, 0x2D, 0x2D, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0xA6, 0x5F, 0xA6, 0xA6, 0xAF,
    0x61, 0xDF, 0x47, 0x70, 0x53, 0x73, 0xB5, 0x74, 0x46, 0x54, 0x4F, 0x64, 0x38, 0x66, 0x65, 0x6E,
    0x3D, 0xB1, 0x3D, 0x3D, 0x28, 0x29, 0xF7, 0x98, 0xB0, 0xB7, 0xB7, 0x76, 0x6E, 0xB2, 0xA6, 0xA0,
};
}  // namespace

unsigned char OemToAnsi(unsigned char oem) {
  return oem < 0x80 ? oem : kOem437ToAnsi1252[oem - 0x80];
}

void DoSM(uint16_t, const char* text, PlotterState& ps) {
  // The lexer keeps exactly the one byte after the mnemonic; none switches
  // symbol mode off.
  unsigned char c = text[0] && text[1] ? static_cast<unsigned char>(text[2]) : 0;
  if (ps.settings->Has(OEMConvert)) c = OemToAnsi(c);
  ps.chSymbol = static_cast<char>(c);
  ps.nExecuted++;
}

void DoTL(uint16_t, const char* text, PlotterState& ps) {
  // A second (negative) tick length has no effect.
  int n = GetArgs(text, ps, 2);
  ps.dTickLen = n ? ps.pArgs[0].d : 0.5;
  ps.nExecuted++;
}

void DoXT(uint16_t m, const char*, PlotterState& ps) {
  bool xTick = static_cast<char>(m & 0xFF) == 'X';  // XT or YT
  // Half the tick: dTickLen percent of the P1-P2 extent across the axis.
  int32_t h = Trunc32(ps.dTickLen / 200 * (xTick ? ps.dyP1P2 : ps.dxP1P2));
  gdi::Point a{ps.xPen, ps.yPen}, b{ps.xPen, ps.yPen};
  if (xTick) {
    a.y = AddClamped(ps.yPen, -static_cast<int64_t>(h));
    b.y = AddClamped(ps.yPen, h);
  } else {
    a.x = AddClamped(ps.xPen, -static_cast<int64_t>(h));
    b.x = AddClamped(ps.xPen, h);
  }
  bool record = !ps.MeasureOnly() && ps.hdcMeta;
  gdi::Point kept;
  if (record) {
    kept = ps.hdcMeta->GetCurrentPositionEx();
    ps.hdcMeta->MoveToEx(ScaleCoord(ps, a.x), ScaleCoord(ps, a.y));
  }
  DoLineTo(ps, b.x, b.y);
  // Back to where the drawing position was, already in device units.
  if (record) ps.hdcMeta->MoveToEx(kept.x, kept.y);
  GrowExtents(ps, a.x, a.y);
  GrowExtents(ps, b.x, b.y);
  ps.nExecuted++;
}

}  // namespace tsl
