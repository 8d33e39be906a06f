// The point transform from parameters to plotter units.
#pragma once
#include <algorithm>
#include <cmath>

#include "common/gdi/types.h"
#include "interpreter/numeric.h"
#include "interpreter/plotter_state.h"

namespace tsl {

namespace detail {
// One axis of user scaling. A zero user range has no scale; the axis then
// collapses onto P1 instead of dividing by zero.
inline int32_t ScaleAxis(double p, double lo, double hi, int32_t span, bool relative) {
  if (!relative) p -= std::min(lo, hi);
  double range = std::fabs(hi - lo);
  if (range == 0) return 0;
  return Trunc32(span * p / range);
}
}  // namespace detail

// Step 1 alone: user units to plotter units (integer forms when not SCALED).
// Inline, as Units: every point drawn takes them.
inline gdi::Point ScaleUnits(const PlotterState& ps, const Arg& x, const Arg& y, bool relative) {
  if (!(ps.bMode & SCALED)) return {x.l, y.l};
  return {detail::ScaleAxis(x.d, ps.dUserXMin, ps.dUserXMax, ps.dxP1P2, relative),
          detail::ScaleAxis(y.d, ps.dUserYMin, ps.dUserYMax, ps.dyP1P2, relative)};
}
// Steps 2 and 3 for a plot that rotates or mirrors: RotateAll, then
// RelativeUnits.
gdi::Point TurnedUnits(const PlotterState& ps, gdi::Point p, bool relative);

// A parameter pair to a pen point: user scaling, RO rotation, the run's
// drawing rotation, then placement (absolute from P1 or relative to the pen,
// with mirroring).
gdi::Point Units(const PlotterState& ps, const Arg& x, const Arg& y);
// Units inline, for the pen motion that takes it for nearly every point of
// a plot; elsewhere the call keeps the callers' own loops lean.
inline gdi::Point PenUnits(const PlotterState& ps, const Arg& x, const Arg& y) {
  const bool relative = (ps.bMode & RELATIVE) != 0;
  const gdi::Point p = ScaleUnits(ps, x, y, relative);
  // Most plots neither rotate nor mirror: placement alone, in one step.
  if (ps.nRotation != 0 || (ps.settings->Flags & (Rotate | MirrorX | MirrorY)) != 0)
    return TurnedUnits(ps, p, relative);
  const int64_t ox = relative ? ps.xPen : (ps.bMode & SCALED) ? ps.xP1 : 0;
  const int64_t oy = relative ? ps.yPen : (ps.bMode & SCALED) ? ps.yP1 : 0;
  return {Sat32(ox + p.x), Sat32(oy + p.y)};
}
// Rotates p by `degrees` the plotter's way (truncating toward zero).
void RotateUnits(int degrees, gdi::Point& p);
// RO rotation and then the drawing rotation of the settings copy.
void RotateAll(const PlotterState& ps, gdi::Point& p);
// Placement: relative to the pen or from P1, with mirroring.
void RelativeUnits(const PlotterState& ps, gdi::Point& p, bool relative);

// Puts relative plotting on or off for the span of one command (the R forms
// AR, BR, ER, RR are relative, PE always is) and gives the plotter back the
// mode it had.
class RelativeScope {
 public:
  RelativeScope(PlotterState& ps, bool relative) : ps_(ps), saved_(ps.bMode & RELATIVE) {
    ps.bMode = static_cast<uint8_t>(relative ? (ps.bMode | RELATIVE) : (ps.bMode & ~RELATIVE));
  }
  ~RelativeScope() { ps_.bMode = static_cast<uint8_t>((ps_.bMode & ~RELATIVE) | saved_); }
  RelativeScope(const RelativeScope&) = delete;
  RelativeScope& operator=(const RelativeScope&) = delete;

 private:
  PlotterState& ps_;
  uint8_t saved_;
};

}  // namespace tsl
