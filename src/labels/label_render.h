// Label rendering, shared with symbol mode.
#pragma once
#include <cstddef>

#include "interpreter/label_services.h"

namespace tsl {

// PlotChars is one of the label services (interpreter/label_services.h).

// One move by (dx, dy) grid units, converted as CharUnits does: drawn with
// DoLineTo when the pen is down, else a MoveToEx. Leaves the pen there.
void PlotUC(PlotterState& ps, double dx, double dy);

}  // namespace tsl
