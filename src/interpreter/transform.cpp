#include "interpreter/transform.h"

#include <algorithm>
#include <cmath>

#include "interpreter/numeric.h"

namespace tsl {

namespace {
constexpr double kPi = 3.14159265358979323846;

// One axis of user scaling. A zero user range has no scale; the axis then
// collapses onto P1 instead of dividing by zero.
int32_t ScaleAxis(double p, double lo, double hi, int32_t span, bool relative) {
  if (!relative) p -= std::min(lo, hi);
  double range = std::fabs(hi - lo);
  if (range == 0) return 0;
  return Trunc32(span * p / range);
}

// Inline here: Units takes it for every point drawn.
inline gdi::Point Scaled(const PlotterState& ps, const Arg& x, const Arg& y, bool relative) {
  if (!(ps.bMode & SCALED)) return {x.l, y.l};
  return {ScaleAxis(x.d, ps.dUserXMin, ps.dUserXMax, ps.dxP1P2, relative),
          ScaleAxis(y.d, ps.dUserYMin, ps.dUserYMax, ps.dyP1P2, relative)};
}
}  // namespace

gdi::Point ScaleUnits(const PlotterState& ps, const Arg& x, const Arg& y, bool relative) {
  return Scaled(ps, x, y, relative);
}

void RotateUnits(int degrees, gdi::Point& p) {
  double x = p.x, y = p.y;
  double angle = std::fabs(x) > 0.01 ? std::atan2(y, x) : (y >= 0 ? kPi / 2 : 3 * kPi / 2);
  double r = std::sqrt(x * x + y * y);
  angle += degrees * kPi / 180;
  p.x = Trunc32(r * std::cos(angle));
  p.y = Trunc32(r * std::sin(angle));
}

void RotateAll(const PlotterState& ps, gdi::Point& p) {
  if (ps.nRotation != 0) RotateUnits(ps.nRotation, p);
  if (ps.settings->Has(Rotate)) RotateUnits(ps.settings->Rotation, p);
}

void RelativeUnits(const PlotterState& ps, gdi::Point& p, bool relative) {
  bool mx = ps.settings->Has(MirrorX), my = ps.settings->Has(MirrorY);
  int64_t x = p.x, y = p.y;
  if (relative) {
    x = mx ? int64_t{ps.xPen} - x : int64_t{ps.xPen} + x;
    y = my ? int64_t{ps.yPen} - y : int64_t{ps.yPen} + y;
  } else if (ps.bMode & SCALED) {
    x += ps.xP1;
    if (mx) x = int64_t{ps.xP2} - x;
    y += ps.yP1;
    if (my) y = int64_t{ps.yP2} - y;
  } else {
    if (mx) x = int64_t{ps.xP2} - x;
    if (my) y = int64_t{ps.yP2} - y;
  }
  p.x = Sat32(x);
  p.y = Sat32(y);
}

gdi::Point Units(PlotterState& ps, const Arg& x, const Arg& y) {
  bool relative = (ps.bMode & RELATIVE) != 0;
  gdi::Point p = Scaled(ps, x, y, relative);
  // Most plots neither rotate nor mirror: placement alone, in one step.
  if (ps.nRotation == 0 && !ps.settings->Has(Rotate) && !ps.settings->Has(MirrorX) &&
      !ps.settings->Has(MirrorY)) {
    const int64_t ox = relative ? ps.xPen : (ps.bMode & SCALED) ? ps.xP1 : 0;
    const int64_t oy = relative ? ps.yPen : (ps.bMode & SCALED) ? ps.yP1 : 0;
    return {Sat32(ox + p.x), Sat32(oy + p.y)};
  }
  RotateAll(ps, p);
  RelativeUnits(ps, p, relative);
  return p;
}

}  // namespace tsl
