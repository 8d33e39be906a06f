// Label rendering, shared with symbol mode.
#pragma once
#include <cstddef>

#include "interpreter/plotter_state.h"

namespace tsl {

// Draws `n` label bytes at the pen position with the current label state:
// placed by the label origin, CR/LF/BS obeyed, each other byte drawn as one
// TextOutA or, with DrawChars, as strokes of the built-in font. Leaves the
// pen one advance after the last character and the carriage-return point in
// xLabelStart/yLabelStart.
void PlotChars(PlotterState& ps, const char* text, size_t n);

// One move by (dx, dy) grid units, converted as CharUnits does: drawn with
// DoLineTo when the pen is down, else a MoveToEx. Leaves the pen there.
void PlotUC(PlotterState& ps, double dx, double dy);

}  // namespace tsl
