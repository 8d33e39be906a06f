// Geometry shared by the circle, arc and wedge commands: the chord angle
// rule, points on a circle, bounding squares and the extents they grow.
// Everything here saturates instead of overflowing, so absurd parameters give
// absurd drawings, never undefined behaviour.
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/gdi/device.h"
#include "common/gdi/types.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// The step between chords in degrees: 5 without a chord parameter, else the
// parameter limited to 0.5 .. 180.
double ChordStep(const Arg* chord);

// The sweep (degrees) the commands work with. Beyond two full turns the extra
// turns only retrace the circle, so they are dropped (keeping one turn plus
// the remainder, and so the same end point); this bounds the number of chord
// points for any sweep. A non-finite sweep counts as zero.
double BoundedSweep(double sweepDeg);

// A radius parameter in plotter units: the integer form, or with user
// scaling the real form as a length along x (P1-P2 span over the user span).
int32_t RadiusUnits(const PlotterState& ps, const Arg& radius);

// How many of the angles 0, step, 2 step, ... lie below `spanDeg`.
size_t ChordCount(double spanDeg, double stepDeg);

// The point at angle a (radians) on the circle of signed radius r around
// (cx, cy): (trunc(r cos a) + cx, trunc(r sin a) + cy).
gdi::Point CirclePoint(double r, double a, int32_t cx, int32_t cy);

// The square around (cx, cy) with half side r (y grows upward): left cx - r,
// top cy + r, right cx + r, bottom cy - r.
gdi::Rect BoundingSquare(int32_t cx, int32_t cy, int64_t r);

// Grows the extents by the corner of `square` for the quadrant of angle a
// (radians): up to pi/2 (right, top), up to pi (left, top), up to 3 pi/2
// (left, bottom), else (right, bottom).
void GrowByQuadrantCorner(PlotterState& ps, const gdi::Rect& square, double a);

// The device to record on, or nullptr in a measure-only run.
gdi::Device* DrawingDevice(PlotterState& ps);

// `r` with every coordinate scaled to device coordinates.
gdi::Rect ScaleRect(const PlotterState& ps, const gdi::Rect& r);

// Records SetArcDirection for the sign of the sweep (counterclockwise only for
// a positive sweep), unless measure-only.
void RecordArcDirection(PlotterState& ps, double sweepDeg);

// True when an Arc/ArcTo/Pie from device point s to device point e would be
// taken by GDI as a full turn although the sweep is less than one.
bool LooksLikeFullTurn(const gdi::Point& s, const gdi::Point& e, double sweepDeg);

constexpr double kPi = 3.14159265358979323846;
constexpr double DegToRad(double deg) { return deg * kPi / 180.0; }

}  // namespace tsl
