// Wedges: EW outlines and WG fills a pie slice around the pen position,
// whatever the pen state; the pen does not move.
#include <cmath>

#include "common/memory.h"
#include "drawing/chords.h"
#include "drawing/fills.h"
#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/handlers.h"

namespace tsl {

namespace {

struct Wedge {
  gdi::Point c;       // centre, pen units
  int32_t R = 0;      // signed radius: a negative one turns the wedge half round
  double a = 0;       // start angle, radians
  double b = 0;       // end angle, radians
  double sweep = 0;   // degrees
  gdi::Point s, e;    // start and end points on the circle
  gdi::Rect square;
};

gdi::Point Scaled(const PlotterState& ps, const gdi::Point& p) {
  return {ScaleCoord(ps, p.x), ScaleCoord(ps, p.y)};
}

// The chord form: centre, the chord points from the start angle, the end
// point, the centre again. False when no point buffer could be had.
bool WedgeChords(PlotterState& ps, gdi::Device& dc, const Wedge& w, double stepDeg, bool fill) {
  size_t k = ChordCount(std::fabs(w.sweep), stepDeg);
  std::vector<gdi::Point> buf;
  if (!TryResize(buf, k + 3)) return false;
  gdi::Point* p = buf.data();
  double dir = w.sweep < 0 ? -1.0 : 1.0;
  p[0] = w.c;
  for (size_t i = 0; i < k; ++i)
    p[i + 1] = CirclePoint(w.R, w.a + dir * DegToRad(static_cast<double>(i) * stepDeg), w.c.x, w.c.y);
  p[k + 1] = w.e;
  p[k + 2] = w.c;
  if (fill) {
    int oldMode = RecordPolyFillMode(ps, dc, gdi::WINDING);
    {
      FillBrushSelection brush(&dc, ps.hbrFill);
      for (size_t i = 0; i < k + 3; ++i) p[i] = Scaled(ps, p[i]);
      dc.Polygon(p, k + 3);
    }
    RecordPolyFillMode(ps, dc, oldMode);
  } else {
    MoveToScaled(ps, w.c.x, w.c.y);
    DoPolylineXX(ps, p, k + 3);
  }
  return true;
}

void WedgeGdi(PlotterState& ps, gdi::Device& dc, const Wedge& w, bool fill) {
  RecordArcDirection(ps, w.sweep);
  gdi::Rect q = ScaleRect(ps, w.square);
  gdi::Point s = Scaled(ps, w.s), e = Scaled(ps, w.e);
  // GDI takes equal start and end points as a whole circle; a wedge that
  // thin is only its radius.
  bool thin = LooksLikeFullTurn(s, e, w.sweep);
  if (fill) {
    if (thin) return;
    FillBrushSelection brush(&dc, ps.hbrFill);
    dc.Pie(q.left, q.top, q.right, q.bottom, s.x, s.y, e.x, e.y);
  } else {
    SyncDrawingPosition(ps);  // the radius is drawn from the centre, the pen
    DoLineTo(ps, w.s.x, w.s.y);
    if (!thin) dc.ArcTo(q.left, q.top, q.right, q.bottom, s.x, s.y, e.x, e.y);
    DoLineTo(ps, w.c.x, w.c.y);
  }
}

}  // namespace

void DoEW(uint16_t mnemonic, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 4);
  if (n < 3) {
    LogParamError("3 or 4", text, ps);
    ps.nErrors++;
    return;
  }
  const Arg* args = ps.pArgs;
  Wedge w;
  w.c = {ps.xPen, ps.yPen};
  w.R = RadiusUnits(ps, args[0]);
  w.square = BoundingSquare(w.c.x, w.c.y, w.R);
  double start = args[1].d;
  if (!std::isfinite(start))
    start = 0;
  else if (std::fabs(start) > 360.0)
    start = std::fmod(start, 360.0);  // the same direction, without losing precision
  w.sweep = BoundedSweep(args[2].d);
  w.a = DegToRad(start);
  w.b = DegToRad(start + w.sweep);
  w.s = CirclePoint(w.R, w.a, w.c.x, w.c.y);
  w.e = CirclePoint(w.R, w.b, w.c.x, w.c.y);
  const bool fill = static_cast<char>(mnemonic & 0xFF) == 'W';

  if (gdi::Device* dc = DrawingDevice(ps)) {
    bool drawn = ps.settings->Has(CompatibilityMode) &&
                 WedgeChords(ps, *dc, w, ChordStep(n > 3 ? &args[3] : nullptr), fill);
    if (!drawn) WedgeGdi(ps, *dc, w, fill);
  }
  GrowByQuadrantCorner(ps, w.square, w.a);
  GrowByQuadrantCorner(ps, w.square, w.b);
  ps.nExecuted++;
}

}  // namespace tsl
