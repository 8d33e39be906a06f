// Line types: each HP-GL type maps onto a GDI dash style and the pen is made
// again with it; type 0 is the solid style 6, which the output routines draw
// as dots.
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

void DoLT(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 3);
  if (ps.settings->Has(IgnoreLT)) {
    ps.nIgnored++;
    return;
  }
  if (n == 0) {
    ps.iLineType = gdi::PS_SOLID;
  } else {
    int style = LineTypeStyle(ps.pArgs[0].l);
    if (style < 0) {
      ps.log->Error("Error: Expecting a value between -8 and 8: '%s' at offset 0x%lx\n", text,
                   static_cast<unsigned long>(ps.offCommand));
      ps.nErrors++;
    } else {
      ps.iLineType = static_cast<int16_t>(style);
    }
  }
  // Made again even after a bad type, so the pen always matches the state.
  CreateCurrentPen(ps);
  ps.nExecuted++;
}

}  // namespace tsl
