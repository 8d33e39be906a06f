// The pen creation rule shared by SP, PT, PW, LT and PE.
#pragma once
#include "interpreter/plotter_state.h"

namespace tsl {

// Creates the current pen (iPen, iLineType, widths) and, unless
// measure-only, selects it and deletes the pen it replaced.
void CreateCurrentPen(PlotterState& ps);

}  // namespace tsl
