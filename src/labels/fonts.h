// The Windows label font.
#pragma once
#include "interpreter/plotter_state.h"

namespace tsl {

// Rebuilds the label font from the label state into the settings copy's
// font template, creates it and (unless measure-only) selects it, deleting
// the font it replaces. `absolute` tells whether the character size is
// absolute (SI) rather than relative to P1-P2 (SR).
void NewFont(PlotterState& ps, bool absolute);

}  // namespace tsl
