// Label rendering, shared with symbol mode.
#pragma once
#include <cstddef>

#include "interpreter/label_services.h"

namespace tsl {

// PlotChars is one of the label services (interpreter/label_services.h).

// Where a carriage return goes: the start of the last label's line while
// the pen stays where the label (or CP) left it, else the pen.
gdi::Point CarriageReturnPoint(const PlotterState& ps);

// One move by (dx, dy) grid units, converted as CharUnits does (turned by
// `degrees` as a label's direction turns it): drawn with DoLineTo when the
// pen is down, else a MoveToEx. Leaves the pen there.
void PlotUC(PlotterState& ps, double dx, double dy, int degrees = 0);

}  // namespace tsl
