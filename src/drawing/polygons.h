// Polygon mode's buffer as the coordinate commands see it.
#pragma once
#include "interpreter/plotter_state.h"

namespace tsl {

// Leaves polygon mode and forgets the buffer (IN, DF, a new page).
void ClearPolygonBuffer(PlotterState& ps);

}  // namespace tsl
