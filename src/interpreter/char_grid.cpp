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

gdi::Point CharUnits(const PlotterState& ps, double a, double b) {
  int32_t x, y;
  if (ps.bMode & REL_CHAR_SIZE) {
    x = Trunc32(a * (ps.dxP1P2 / 100.0) / 5.5);
    y = Trunc32(b * (ps.dyP1P2 / 100.0) / 5.5);
  } else {
    x = Trunc32(a * (ps.cxChar / 8));
    y = Trunc32(b * (ps.cyChar / 8));
  }
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
  int64_t a = static_cast<int64_t>(direction) - 10 * static_cast<int64_t>(ps.nRotation);
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
