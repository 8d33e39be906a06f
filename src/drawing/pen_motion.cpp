// PA, PD, PR, PU and the output routines every straight line goes through.
#include "drawing/pen_motion.h"

#include <algorithm>
#include <cmath>

#include "common/memory.h"
#include "interpreter/args.h"
#include "interpreter/handlers.h"
#include "interpreter/numeric.h"
#include "interpreter/transform.h"
#include "labels/label_render.h"

namespace tsl {

int32_t ScaleCoord(const PlotterState& ps, int32_t v) {
  double pct = ps.settings->ScalePercent;
  if (std::fabs(pct - 100.0) <= 0.01) return v;
  return Trunc32(static_cast<double>(v) * pct / 100.0);
}

gdi::COLORREF PenColor(const PlotterState& ps) {
  return ps.settings->PenColor[ps.iPen < kPenTableSize ? ps.iPen : 0];
}

void MoveToScaled(PlotterState& ps, int32_t x, int32_t y) {
  if (ps.hdcMeta) ps.hdcMeta->MoveToEx(ScaleCoord(ps, x), ScaleCoord(ps, y));
}

void SyncDrawingPosition(PlotterState& ps) {
  gdi::Device* dc = ps.hdcMeta;
  if (!dc || ps.MeasureOnly()) return;
  int32_t x = ScaleCoord(ps, ps.xPen), y = ScaleCoord(ps, ps.yPen);
  gdi::Point at = dc->GetCurrentPositionEx();
  if (at.x != x || at.y != y) dc->MoveToEx(x, y);
}

void GrowExtents(PlotterState& ps, int32_t x, int32_t y) {
  if (ps.fWindow) {
    x = std::min(x, ps.rcWindow.right);
    x = std::max(x, ps.rcWindow.left);
    y = std::min(y, ps.rcWindow.bottom);
    y = std::max(y, ps.rcWindow.top);
  }
  ps.xMin = std::min(ps.xMin, x);
  ps.yMin = std::min(ps.yMin, y);
  ps.xMax = std::max(ps.xMax, x);
  ps.yMax = std::max(ps.yMax, y);
}

namespace {
constexpr int16_t kDotMode = 6;

// A one-unit stroke ending at (x, y); the drawing position stays there.
void Dot(gdi::Device& dc, int32_t x, int32_t y) {
  dc.MoveToEx(x, y);
  dc.LineTo(Sat32(int64_t{x} - 1), y);
  dc.MoveToEx(x, y);
}

// A dot at the start of a run: one unit right of the drawing position.
void StartDot(gdi::Device& dc) {
  gdi::Point at = dc.GetCurrentPositionEx();
  dc.LineTo(Sat32(int64_t{at.x} + 1), at.y);
}
}  // namespace

void DoLineTo(PlotterState& ps, int32_t x, int32_t y) {
  gdi::Device* dc = ps.hdcMeta;
  if (!dc) return;
  int32_t sx = ScaleCoord(ps, x), sy = ScaleCoord(ps, y);
  if (ps.iLineType == kDotMode) {
    StartDot(*dc);
    Dot(*dc, sx, sy);
    return;
  }
  dc->LineTo(sx, sy);
  dc->SetPixel(sx, sy, PenColor(ps));
}

void DoPolylineXX(PlotterState& ps, gdi::Point* points, size_t count) {
  gdi::Device* dc = ps.hdcMeta;
  if (!dc || count == 0) return;
  for (size_t i = 0; i < count; ++i) {
    points[i].x = ScaleCoord(ps, points[i].x);
    points[i].y = ScaleCoord(ps, points[i].y);
  }
  RecordRun(ps, *dc, points, count);
}

void RecordRun(PlotterState& ps, gdi::Device& dc, const gdi::Point* points, size_t count) {
  if (count == 0) return;
  if (ps.iLineType == kDotMode) {
    StartDot(dc);
    for (size_t i = 0; i < count; ++i) Dot(dc, points[i].x, points[i].y);
    return;
  }
  dc.PolylineTo(points, count);
  dc.SetPixel(points[count - 1].x, points[count - 1].y, PenColor(ps));
}

namespace {
void SinglePoints(PlotterState& ps, int pairs) {
  for (int i = 0; i < pairs; ++i) {
    gdi::Point p = Units(ps, ps.pArgs[2 * i], ps.pArgs[2 * i + 1]);
    if (ps.fPenDown)
      DoLineTo(ps, p.x, p.y);
    else
      MoveToScaled(ps, p.x, p.y);
    ps.xPen = p.x;
    ps.yPen = p.y;
    if (ps.chSymbol && !ps.MeasureOnly()) {
      // The symbol's advance must not move the pen.
      PlotChars(ps, &ps.chSymbol, 1, true);
      MoveToScaled(ps, p.x, p.y);
      ps.xPen = p.x;
      ps.yPen = p.y;
    }
    if (ps.fPenDown) GrowExtents(ps, p.x, p.y);
  }
}

void BatchedPoints(PlotterState& ps, int pairs) {
  size_t capacity = ps.fPenDown ? static_cast<size_t>(pairs) + 2 : 3;
  MemPtr<gdi::Point> points = AllocArray<gdi::Point>(capacity);
  if (!points) return;
  gdi::Point* pts = points.get();
  size_t count = 0;
  pts[count++] = {ps.xPen, ps.yPen};
  for (int i = 0; i < pairs; ++i) {
    gdi::Point p = Units(ps, ps.pArgs[2 * i], ps.pArgs[2 * i + 1]);
    ps.xPen = p.x;
    ps.yPen = p.y;
    GrowExtents(ps, p.x, p.y);
    if (ps.fPenDown)
      pts[count++] = p;
    else
      MoveToScaled(ps, p.x, p.y);
  }
  if (ps.fPenDown) DoPolylineXX(ps, pts, count);
}
}  // namespace

void DoPA(uint16_t mnemonic, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  switch (SecondChar(mnemonic)) {
    case 'D': ps.fPenDown = 1; break;
    case 'U': ps.fPenDown = 0; break;
    case 'R': ps.bMode |= RELATIVE; break;
    default: ps.bMode &= ~RELATIVE; break;
  }
  if (n % 2) {
    LogParamError("an even number of", text, ps);
    --n;
  }
  if (n >= 2) {
    if (ps.fPenDown) {
      SyncDrawingPosition(ps);
      // A line measures from where it starts, not only where it ends.
      GrowExtents(ps, ps.xPen, ps.yPen);
    }
    if (ps.chSymbol || n == 2)
      SinglePoints(ps, n / 2);
    else
      BatchedPoints(ps, n / 2);
  }
  ps.nExecuted++;
}

}  // namespace tsl
