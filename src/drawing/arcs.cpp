// Circles (CI) and arcs (AA, AR): chords through the output routines in
// compatibility mode, one GDI Arc otherwise.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "common/memory.h"
#include "drawing/chords.h"
#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/handlers.h"
#include "interpreter/numeric.h"
#include "interpreter/transform.h"

namespace tsl {

namespace {

gdi::Point Scaled(const PlotterState& ps, const gdi::Point& p) {
  return {ScaleCoord(ps, p.x), ScaleCoord(ps, p.y)};
}

// Moves the drawing position to the pen point p unless it is there already.
void MoveToIfAway(PlotterState& ps, gdi::Device& dc, const gdi::Point& p) {
  gdi::Point s = Scaled(ps, p);
  gdi::Point cur = dc.GetCurrentPositionEx();
  if (cur.x != s.x || cur.y != s.y) dc.MoveToEx(s.x, s.y);
}

// Draws the chords of a circle of signed radius R around c; false when no
// point buffer could be had.
bool CircleChords(PlotterState& ps, gdi::Device& dc, int32_t R, const gdi::Point& c,
                  double stepDeg) {
  size_t n = ChordCount(360.0, stepDeg);
  std::vector<gdi::Point> pts;
  if (!TryResize(pts, n + 1)) return false;
  for (size_t i = 0; i < n; ++i) pts[i] = CirclePoint(R, DegToRad(static_cast<double>(i) * stepDeg), c.x, c.y);
  pts[n] = {Sat32(static_cast<int64_t>(c.x) + R), c.y};
  MoveToIfAway(ps, dc, pts[0]);
  DoPolylineXX(ps, pts.data(), n + 1);
  MoveToScaled(ps, c.x, c.y);
  return true;
}

// User scaling with different scales along x and y: a circle in user
// units is an ellipse on the paper, and an arc ends where the plot means it
// to only when it is worked out in user units.
bool Anisotropic(const PlotterState& ps) {
  if (!(ps.bMode & SCALED)) return false;
  double rx = std::fabs(ps.dUserXMax - ps.dUserXMin), ry = std::fabs(ps.dUserYMax - ps.dUserYMin);
  if (!(rx > 0) || !(ry > 0) || ps.dxP1P2 == 0 || ps.dyP1P2 == 0) return false;
  double sx = ps.dxP1P2 / rx, sy = ps.dyP1P2 / ry;
  return std::isfinite(sx) && std::isfinite(sy) && std::fabs(sx - sy) > 1e-9 * std::fmax(sx, sy);
}

struct UserPoint {
  double x = 0, y = 0;
};

void Turn(double& x, double& y, int degrees) {
  double a = DegToRad(degrees), c = std::cos(a), s = std::sin(a);
  double tx = x * c - y * s;
  y = x * s + y * c;
  x = tx;
}

// A pen point back in user units: the point transform undone, without the
// truncation it did.
UserPoint ToUser(const PlotterState& ps, const gdi::Point& p) {
  const SettingsSet& s = *ps.settings;
  double x = p.x, y = p.y;
  if (s.Has(MirrorX)) x = static_cast<double>(ps.xP2) - x;
  if (s.Has(MirrorY)) y = static_cast<double>(ps.yP2) - y;
  x -= ps.xP1;
  y -= ps.yP1;
  if (s.Has(Rotate)) Turn(x, y, -s.Rotation);
  if (ps.nRotation) Turn(x, y, -ps.nRotation);
  return {x * std::fabs(ps.dUserXMax - ps.dUserXMin) / ps.dxP1P2 + std::fmin(ps.dUserXMin, ps.dUserXMax),
          y * std::fabs(ps.dUserYMax - ps.dUserYMin) / ps.dyP1P2 + std::fmin(ps.dUserYMin, ps.dUserYMax)};
}

// A user point to a pen point.
gdi::Point FromUser(PlotterState& ps, const UserPoint& u) {
  RelativeScope absolute(ps, false);
  return Units(ps, Arg{Trunc32(u.x), u.x}, Arg{Trunc32(u.y), u.y});
}

// AA and AR under anisotropic scaling: every chord point is a point of the
// circle in user units taken through the point transform, so the arc is
// the ellipse the plot draws and ends on its end point.
void UserUnitsArc(PlotterState& ps, int n, bool relative) {
  const Arg* a = ps.pArgs;
  const gdi::Point pen{ps.xPen, ps.yPen};
  UserPoint p = ToUser(ps, pen);
  UserPoint c = relative ? UserPoint{p.x + a[0].d, p.y + a[1].d} : UserPoint{a[0].d, a[1].d};
  double r = std::hypot(p.x - c.x, p.y - c.y);
  double a0 = std::atan2(p.y - c.y, p.x - c.x);
  double sweep = BoundedSweep(a[2].d);
  double a1 = a0 + DegToRad(sweep);
  auto at = [&](double t) { return FromUser(ps, {c.x + r * std::cos(t), c.y + r * std::sin(t)}); };
  gdi::Point e = at(a1);
  gdi::Device* dc = DrawingDevice(ps);

  if (ps.fPenDown) {
    bool chords = false;
    double step = ChordStep(n > 3 ? &a[3] : nullptr);
    size_t k = ChordCount(std::fabs(sweep), step);
    std::vector<gdi::Point> pts;
    if (TryResize(pts, k + 1)) {
      double dir = sweep < 0 ? -1.0 : 1.0;
      for (size_t i = 0; i < k; ++i) pts[i] = at(a0 + dir * DegToRad(static_cast<double>(i) * step));
      pts[k] = e;
      for (size_t i = 0; i <= k; ++i) GrowExtents(ps, pts[i].x, pts[i].y);
      if (dc && ps.settings->Has(CompatibilityMode)) {
        MoveToIfAway(ps, *dc, pts[0]);
        DoPolylineXX(ps, pts.data(), k + 1);
        chords = true;
      }
    }
    RecordArcDirection(ps, sweep);
    if (dc && !chords) {
      // The ellipse's box: the user circle's corners through the transform.
      gdi::Point lo = FromUser(ps, {c.x - r, c.y - r}), hi = FromUser(ps, {c.x + r, c.y + r});
      gdi::Rect box = ScaleRect(ps, {std::min(lo.x, hi.x), std::max(lo.y, hi.y), std::max(lo.x, hi.x),
                                     std::min(lo.y, hi.y)});
      gdi::Point from = Scaled(ps, pen), to = Scaled(ps, e);
      if (LooksLikeFullTurn(from, to, sweep))
        DoLineTo(ps, e.x, e.y);
      else
        dc->Arc(box.left, box.top, box.right, box.bottom, from.x, from.y, to.x, to.y);
    }
  } else {
    RecordArcDirection(ps, sweep);
    GrowExtents(ps, e.x, e.y);
  }
  if (dc) MoveToIfAway(ps, *dc, e);
  ps.xPen = e.x;
  ps.yPen = e.y;
}

}  // namespace

void DoCI(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 2);
  if (n < 1) {
    LogParamError("1 or 2", text, ps);
    ps.nErrors++;
    return;
  }
  const Arg* a = ps.pArgs;
  int32_t R = RadiusUnits(ps, a[0]);
  int64_t r = std::llabs(static_cast<int64_t>(R));
  gdi::Point c{ps.xPen, ps.yPen};
  gdi::Rect square = BoundingSquare(c.x, c.y, r);

  if (gdi::Device* dc = DrawingDevice(ps)) {
    bool drawn = ps.settings->Has(CompatibilityMode) &&
                 CircleChords(ps, *dc, R, c, ChordStep(n > 1 ? &a[1] : nullptr));
    if (!drawn) {
      gdi::Rect s = ScaleRect(ps, square);
      gdi::Point start = Scaled(ps, {Sat32(static_cast<int64_t>(c.x) + r), c.y});
      dc->Arc(s.left, s.top, s.right, s.bottom, start.x, start.y, start.x, start.y);
    }
  }
  GrowExtents(ps, square.left, square.top);
  GrowExtents(ps, square.right, square.bottom);
  ps.nExecuted++;
}

void DoAA(uint16_t mnemonic, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 4);
  if (n < 3) {
    LogParamError("3 or 4", text, ps);
    ps.nErrors++;
    return;
  }
  const Arg* a = ps.pArgs;
  RelativeScope relative(ps, SecondChar(mnemonic) == 'R');
  if (Anisotropic(ps)) {
    UserUnitsArc(ps, n, SecondChar(mnemonic) == 'R');
    ps.nExecuted++;
    return;
  }

  gdi::Point c = Units(ps, a[0], a[1]);
  double dx = static_cast<double>(ps.xPen) - c.x;
  double dy = static_cast<double>(ps.yPen) - c.y;
  int32_t r = Trunc32(std::hypot(dx, dy));
  double a0 = std::atan2(dy, dx);
  double sweep = BoundedSweep(a[2].d);
  double a1 = a0 + DegToRad(sweep);
  gdi::Point e = CirclePoint(r, a1, c.x, c.y);
  gdi::Rect square = BoundingSquare(c.x, c.y, r);
  gdi::Device* dc = DrawingDevice(ps);

  bool chords = false;
  if (dc && ps.fPenDown && ps.settings->Has(CompatibilityMode)) {
    double step = ChordStep(n > 3 ? &a[3] : nullptr);
    size_t k = ChordCount(std::fabs(sweep), step);
    std::vector<gdi::Point> pts;
    if (TryResize(pts, k + 1)) {
      double dir = sweep < 0 ? -1.0 : 1.0;
      for (size_t i = 0; i < k; ++i) pts[i] = CirclePoint(r, a0 + dir * DegToRad(static_cast<double>(i) * step), c.x, c.y);
      pts[k] = e;
      MoveToIfAway(ps, *dc, pts[0]);
      DoPolylineXX(ps, pts.data(), k + 1);
      chords = true;
    }
  }

  RecordArcDirection(ps, sweep);

  if (dc && ps.fPenDown && !chords) {
    gdi::Rect s = ScaleRect(ps, square);
    gdi::Point from = Scaled(ps, {ps.xPen, ps.yPen});
    gdi::Point to = Scaled(ps, e);
    // GDI takes equal start and end points as a whole circle; an arc that
    // short is only a dot.
    if (LooksLikeFullTurn(from, to, sweep))
      DoLineTo(ps, e.x, e.y);
    else
      dc->Arc(s.left, s.top, s.right, s.bottom, from.x, from.y, to.x, to.y);
  }
  if (dc) MoveToIfAway(ps, *dc, e);

  ps.xPen = e.x;
  ps.yPen = e.y;
  if (!ps.fPenDown) {
    GrowExtents(ps, e.x, e.y);
  } else {
    GrowByQuadrantCorner(ps, square, a0);
    GrowByQuadrantCorner(ps, square, a1);
  }
  ps.nExecuted++;
}

}  // namespace tsl
