// Label rendering, shared with symbol mode.
#pragma once
#include <cstddef>

#include "interpreter/plotter_state.h"

namespace tsl {

// Draws `n` label bytes at the pen position with the current label state.
void PlotChars(PlotterState& ps, const char* text, size_t n);

}  // namespace tsl
