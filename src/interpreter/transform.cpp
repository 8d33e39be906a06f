#include "interpreter/transform.h"

#include <algorithm>
#include <cmath>

#include "interpreter/numeric.h"
#include "settings/settings_set.h"

namespace tsl {

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

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

gdi::Point TurnedUnits(const PlotterState& ps, gdi::Point p, bool relative) {
  RotateAll(ps, p);
  RelativeUnits(ps, p, relative);
  return p;
}

gdi::Point Units(const PlotterState& ps, const Arg& x, const Arg& y) { return PenUnits(ps, x, y); }

}  // namespace tsl
