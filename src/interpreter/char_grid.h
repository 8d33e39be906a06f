// Label geometry in the character grid: a character cell is 8 units wide and
// a line 16 units high. Shared by the label attributes, label rendering and
// user-defined characters.
#pragma once
#include <cstdint>

#include "common/gdi/types.h"
#include "interpreter/numeric.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// a + b kept in the 32-bit range.
inline int32_t AddClamped(int32_t a, int64_t b) { return Sat32(int64_t{a} + b); }

// Turns (x, y) by `degrees` the plotter's way: the angle of the vector is
// taken with atan2, or as a right angle when |x| <= 0.01. Callers skip it for
// 0 degrees, where the round trip could cost a unit after truncation.
void DirectionRotation(double& x, double& y, int degrees);

// A displacement (a, b) in grid units to a position in plotter units: scaled
// by the character size (a cell of 8 x 16 units is 1.5 character widths by
// two heights), turned by RO and the drawing rotation, then placed relative
// to the pen (RELATIVE) or from P1, with mirroring.
gdi::Point CharUnits(const PlotterState& ps, double a, double b);
// The same for a displacement along a label turned by `degrees`
// (counterclockwise): turned once scaled, before RO and the rest.
gdi::Point CharUnitsTurned(const PlotterState& ps, double a, double b, int degrees);

// The label direction of DI/DR after RO, the drawing rotation and the
// mirroring options: the font escapement in tenths of a degree.
int32_t RotatedLabelAngle(const PlotterState& ps, int32_t direction);
// The same under an RO angle of `rotation` degrees instead of the current.
int32_t LabelAngle(const PlotterState& ps, int32_t direction, int rotation);

}  // namespace tsl
