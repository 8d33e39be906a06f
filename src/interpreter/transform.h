// The point transform from parameters to plotter units.
#pragma once
#include "common/gdi/types.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// A parameter pair to a pen point: user scaling, RO rotation, the run's
// drawing rotation, then placement (absolute from P1 or relative to the pen,
// with mirroring).
gdi::Point Units(PlotterState& ps, const Arg& x, const Arg& y);
// Step 1 alone: user units to plotter units (integer forms when not SCALED).
gdi::Point ScaleUnits(const PlotterState& ps, const Arg& x, const Arg& y, bool relative);
// Rotates p by `degrees` the plotter's way (truncating toward zero).
void RotateUnits(int degrees, gdi::Point& p);
// RO rotation and then the drawing rotation of the settings copy.
void RotateAll(const PlotterState& ps, gdi::Point& p);
// Placement: relative to the pen or from P1, with mirroring.
void RelativeUnits(const PlotterState& ps, gdi::Point& p, bool relative);

}  // namespace tsl
