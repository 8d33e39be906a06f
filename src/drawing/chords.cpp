#include "drawing/chords.h"

#include <cmath>

#include "interpreter/output_routines.h"
#include "interpreter/numeric.h"

namespace tsl {

double ChordStep(const Arg* chord) {
  if (!chord) return 5.0;
  double c = chord->d;
  if (c >= 180.0) return 180.0;
  if (!(c >= 0.5)) return 0.5;  // also NaN
  return c;
}

double BoundedSweep(double sweepDeg) {
  if (!std::isfinite(sweepDeg)) return 0.0;
  double a = std::fabs(sweepDeg);
  if (a <= 720.0) return sweepDeg;
  double reduced = 360.0 + std::fmod(a, 360.0);
  return sweepDeg < 0 ? -reduced : reduced;
}

int32_t RadiusUnits(const PlotterState& ps, const Arg& radius) {
  if (!(ps.bMode & SCALED)) return radius.l;
  // A zero user span gives an infinite or NaN quotient, which Trunc32
  // turns into the largest radius or 0.
  return Trunc32(ps.dxP1P2 * radius.d / std::fabs(ps.dUserXMax - ps.dUserXMin));
}

size_t ChordCount(double spanDeg, double stepDeg) {
  if (!(spanDeg > 0) || !(stepDeg > 0)) return 0;
  double q = spanDeg / stepDeg;
  if (q > 1e7) q = 1e7;  // callers bound the span; this only keeps the cast defined
  size_t n = static_cast<size_t>(std::ceil(q));
  // The division may round either way; settle on the exact rule.
  while (n > 0 && static_cast<double>(n - 1) * stepDeg >= spanDeg) --n;
  while (static_cast<double>(n) * stepDeg < spanDeg) ++n;
  return n;
}

gdi::Point CirclePoint(double r, double a, int32_t cx, int32_t cy) {
  // |trunc(r cos a)| stays within 2^31 and the sum is exact in a double.
  return {Trunc32(std::trunc(r * std::cos(a)) + cx), Trunc32(std::trunc(r * std::sin(a)) + cy)};
}

gdi::Rect BoundingSquare(int32_t cx, int32_t cy, int64_t r) {
  // r comes from a 32-bit value, so none of the sums overflows 64 bits.
  return {Sat32(cx - r), Sat32(cy + r), Sat32(cx + r), Sat32(cy - r)};
}

void GrowByQuadrantCorner(PlotterState& ps, const gdi::Rect& square, double a) {
  const double twoPi = 2 * kPi;
  if (!std::isfinite(a)) a = 0;
  if (a < 0 || a > twoPi) {
    // What adding or subtracting whole turns until the angle lies in 0 .. 2 pi
    // gives, without looping over absurd angles.
    bool positive = a > 0;
    a = std::fmod(a, twoPi);
    if (a < 0) a += twoPi;
    if (positive && a == 0) a = twoPi;
  }
  if (a <= kPi / 2)
    GrowExtents(ps, square.right, square.top);
  else if (a <= kPi)
    GrowExtents(ps, square.left, square.top);
  else if (a <= 3 * kPi / 2)
    GrowExtents(ps, square.left, square.bottom);
  else
    GrowExtents(ps, square.right, square.bottom);
}

gdi::Device* DrawingDevice(PlotterState& ps) { return ps.MeasureOnly() ? nullptr : ps.hdcMeta; }

gdi::Rect ScaleRect(const PlotterState& ps, const gdi::Rect& r) {
  return {ScaleCoord(ps, r.left), ScaleCoord(ps, r.top), ScaleCoord(ps, r.right), ScaleCoord(ps, r.bottom)};
}

void RecordArcDirection(PlotterState& ps, double sweepDeg) {
  if (gdi::Device* dc = DrawingDevice(ps))
    dc->SetArcDirection(sweepDeg > 0 ? gdi::AD_COUNTERCLOCKWISE : gdi::AD_CLOCKWISE);
}

bool LooksLikeFullTurn(const gdi::Point& s, const gdi::Point& e, double sweepDeg) {
  return s.x == e.x && s.y == e.y && std::fabs(sweepDeg) < 360.0;
}

}  // namespace tsl
