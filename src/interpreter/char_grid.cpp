#include "interpreter/char_grid.h"

#include <cmath>

namespace tsl {

void DirectionRotation(double& x, double& y, int degrees) {
  double theta;
  if (std::fabs(x) > 0.01)
    theta = std::atan2(y, x);
  else
    theta = y >= 0 ? 1.5707963267948966 : 4.71238898038469;
  double rho = std::sqrt(x * x + y * y);
  theta += degrees / 180.0 * 3.141592653589793;
  x = rho * std::cos(theta);
  y = rho * std::sin(theta);
}

namespace {
void TurnTruncated(int32_t& x, int32_t& y, int degrees) {
  double dx = x, dy = y;
  DirectionRotation(dx, dy, degrees);
  x = Trunc32(dx);
  y = Trunc32(dy);
}
}  // namespace

gdi::Point CharUnits(const PlotterState& ps, double a, double b) { return CharUnitsTurned(ps, a, b, 0); }

gdi::Point CharUnitsTurned(const PlotterState& ps, double a, double b, int degrees) {
  // A cell of 8 by 16 units is 1.5 character widths wide and two character
  // heights high, whether the size came from SI or from SR. The label's
  // direction turns the scaled vector, so that a turned label keeps the
  // proportions of its characters.
  double sx = a * 1.5 * ps.cxChar / 8, sy = b * ps.cyChar / 8.0;
  if (degrees != 0) DirectionRotation(sx, sy, degrees);
  int32_t x = Trunc32(sx);
  int32_t y = Trunc32(sy);
  if (ps.nRotation != 0) TurnTruncated(x, y, ps.nRotation);
  const SettingsSet& s = *ps.settings;
  if (s.Has(Rotate)) {
    int r = s.Rotation;
    if (r == 90)
      r = 270;
    else if (r == 270)
      r = 90;
    if (r != 0) TurnTruncated(x, y, r);
  }
  gdi::Point p;
  if (ps.bMode & RELATIVE) {
    p.x = AddClamped(ps.xPen, s.Has(MirrorX) ? -static_cast<int64_t>(x) : x);
    p.y = AddClamped(ps.yPen, s.Has(MirrorY) ? -static_cast<int64_t>(y) : y);
  } else {
    p.x = x;
    p.y = y;
    if (ps.bMode & SCALED) p.x = AddClamped(ps.xP1, p.x);
    if (s.Has(MirrorX)) p.x = AddClamped(ps.xP2, -static_cast<int64_t>(p.x));
    if (ps.bMode & SCALED) p.y = AddClamped(ps.yP1, p.y);
    if (s.Has(MirrorY)) p.y = AddClamped(ps.yP2, -static_cast<int64_t>(p.y));
  }
  return p;
}

int32_t RotatedLabelAngle(const PlotterState& ps, int32_t direction) {
  return LabelAngle(ps, direction, ps.nRotation);
}

int32_t LabelAngle(const PlotterState& ps, int32_t direction, int rotation) {
  int64_t a = static_cast<int64_t>(direction) - 10 * static_cast<int64_t>(rotation);
  while (a < 0) a += 3600;
  const SettingsSet& s = *ps.settings;
  if (s.Has(Rotate)) {
    int r = s.Rotation;
    if (r == 180)
      a = (a + 1800) % 3600;
    else if (r != 0)
      a = (a + 10 * r + 1800) % 3600;
  }
  if (s.Has(MirrorX)) a = a >= 1800 ? 5400 - a : 1800 - a;
  if (s.Has(MirrorY)) a = 3600 - a;
  return static_cast<int32_t>(a);
}

}  // namespace tsl
