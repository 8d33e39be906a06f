// Label rendering, shared with symbol mode.
#pragma once
#include <cstddef>

#include "interpreter/plotter_state.h"

namespace tsl {

// Draws `n` label bytes at the pen position with the current label state:
// each line placed by the label origin, CR/LF/BS obeyed, each other byte
// drawn as one TextOutA or, with DrawChars, as strokes of the built-in font.
// Leaves the pen one advance after the last character and the
// carriage-return point in xLabelStart/yLabelStart. A symbol (SM) is centred
// on the pen instead.
void PlotChars(PlotterState& ps, const char* text, size_t n, bool symbol = false);

// Where a carriage return goes: the start of the last label's line while
// the pen stays where the label (or CP) left it, else the pen.
gdi::Point CarriageReturnPoint(const PlotterState& ps);

// One move by (dx, dy) grid units, converted as CharUnits does (turned by
// `degrees` as a label's direction turns it): drawn with DoLineTo when the
// pen is down, else a MoveToEx. Leaves the pen there.
void PlotUC(PlotterState& ps, double dx, double dy, int degrees = 0);

}  // namespace tsl
