// Line types: each HP-GL type maps onto a GDI dash style and the pen is made
// again with it; type 0 is the solid style 6, which the output routines draw
// as dots. Dashed types are drawn by geometric pens whose dashes follow the
// HP-GL/2 pattern, so that they stay dashed at any width.
#include <cmath>
#include <cstdint>

#include "drawing/line_types.h"
#include "interpreter/output_routines.h"
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
