// The pen creation rule shared by SP, PT, PW, LT and PE.
#pragma once
#include <cstdint>

#include "common/gdi/types.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// Creates the current pen (iPen, iLineType, widths) and, unless
// measure-only, selects it and deletes the pen it replaced.
void CreateCurrentPen(PlotterState& ps);

// The width of the current pen in plotter units, before scaling: the
// override when one is set, else the normal width adjusted by the pen's
// configured width.
int32_t CurrentPenWidth(const PlotterState& ps);

}  // namespace tsl
