// Line types: each HP-GL type maps onto a GDI dash style and the pen is made
// again with it; type 0 is the solid style 6, which the output routines draw
// as dots. Dashed types are drawn by geometric pens whose dashes follow the
// HP-GL/2 pattern, so that they stay dashed at any width.
#include <cmath>
#include <cstdint>

#include "drawing/line_types.h"
#include "drawing/pens.h"
#include "interpreter/args.h"
#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"

namespace tsl {

int LineTypeStyle(int64_t type) {
  int64_t t = type < 0 ? -type : type;
  switch (t) {
    case 0: return gdi::PS_INSIDEFRAME;
    case 1: return gdi::PS_DOT;
    case 2: case 3: return gdi::PS_DASH;
    case 4: case 5: return gdi::PS_DASHDOT;
    case 6: case 7: case 8: return gdi::PS_DASHDOTDOT;
    case 99: return gdi::PS_SOLID;
    default: return -1;
  }
}

namespace {
// HP-GL/2's fixed line types 1..8: dash, gap, dash, ... in per cent of the
// pattern length (a 0 is a dot).
struct Pattern {
  size_t count;
  double part[8];
};
constexpr Pattern kPatterns[8] = {
    {2, {0, 100}},
    {2, {50, 50}},
    {2, {70, 30}},
    {4, {80, 10, 0, 10}},
    {4, {70, 10, 10, 10}},
    {6, {50, 10, 10, 10, 10, 10}},
    {6, {70, 10, 0, 10, 0, 10}},
    {8, {50, 10, 0, 10, 10, 10, 0, 10}},
};
// HP-GL/2's pattern length: 4 per cent of the P1-P2 diagonal.
constexpr double kDefaultPatternLength = 4;
}  // namespace

bool DashedLineType(const PlotterState& ps) {
  return ps.iLineType >= static_cast<int16_t>(gdi::PS_DASH) &&
         ps.iLineType <= static_cast<int16_t>(gdi::PS_DASHDOTDOT) && ps.nLineType >= 1 && ps.nLineType <= 8;
}

size_t LineTypeDashes(const PlotterState& ps, uint32_t* dashes) {
  const Pattern& p = kPatterns[ps.nLineType >= 1 && ps.nLineType <= 8 ? ps.nLineType - 1 : 1];
  double length = ps.dPatternLength > 0 ? ps.dPatternLength : kDefaultPatternLength;
  double units;
  if (ps.fPatternAbsolute) {
    units = length * 40;  // millimetres
  } else {
    double dx = ps.dxP1P2, dy = ps.dyP1P2;
    units = length / 100 * std::sqrt(dx * dx + dy * dy);
  }
  units *= ps.Scale();
  for (size_t i = 0; i < p.count; ++i) {
    double d = std::round(p.part[i] / 100 * units);
    dashes[i] = !(d >= 1) ? 1 : d > 1e9 ? 1000000000u : static_cast<uint32_t>(d);
  }
  return p.count;
}

void DoLT(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 3);
  if (ps.settings->Has(IgnoreLT)) {
    ps.nIgnored++;
    return;
  }
  if (n == 0) {
    ps.iLineType = gdi::PS_SOLID;
    ps.nLineType = 0;
  } else {
    int style = LineTypeStyle(ps.pArgs[0].l);
    if (style < 0) {
      ps.log->Error("Error: Expecting a value between -8 and 8: '%s' at offset 0x%lx\n", text,
                   static_cast<unsigned long>(ps.offCommand));
      ps.nErrors++;
    } else {
      ps.iLineType = static_cast<int16_t>(style);
      int32_t type = ps.pArgs[0].l;
      ps.nLineType = static_cast<int16_t>(type < 0 ? -type : type);
      // The pattern length (per cent of the diagonal, or millimetres with
      // mode 1) lasts until the next one.
      if (n >= 2 && ps.pArgs[1].d > 0) ps.dPatternLength = ps.pArgs[1].d;
      if (n >= 3) ps.fPatternAbsolute = ps.pArgs[2].l == 1;
    }
  }
  // Made again even after a bad type, so the pen always matches the state.
  CreateCurrentPen(ps);
  ps.nExecuted++;
}

}  // namespace tsl
