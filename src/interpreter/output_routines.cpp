// The output routines every straight line goes through, and the pen
// creation rule every pen of the interpreter goes through.
#include "interpreter/output_routines.h"

#include <algorithm>
#include <cmath>

#include "interpreter/gdi_helpers.h"
#include "interpreter/numeric.h"
#include "interpreter/units.h"

namespace tsl {

gdi::COLORREF PenColor(const PlotterState& ps) {
  return ps.settings->PenColor[ps.iPen < kPenTableSize ? ps.iPen : 0];
}

void SyncDrawingPosition(PlotterState& ps) {
  gdi::Device* dc = ps.hdcMeta;
  if (!dc || ps.MeasureOnly()) return;
  int32_t x = ScaleCoord(ps, ps.xPen), y = ScaleCoord(ps, ps.yPen);
  gdi::Point at = dc->GetCurrentPositionEx();
  if (at.x != x || at.y != y) dc->MoveToEx(x, y);
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
  dc->LineToWithPixel(sx, sy, PenColor(ps));
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
bool Recording(const PlotterState& ps) { return ps.hdcMeta && !ps.MeasureOnly(); }

// A width in plotter units as handed to GDI.
int32_t ScaledWidth(const PlotterState& ps, int32_t w) {
  return Trunc32(static_cast<double>(w) * ps.settings->ScalePercent / 100.0);
}

// HP-GL/2's fixed line types 1..8: dash, gap, dash, ... in per cent of the
// pattern length (a 0 is a dot).
struct Pattern {
  size_t count;
  double part[8];
};
constexpr Pattern kPatterns[8] = {
    {2, {0, 100}},
    {2, {50, 50}},
    {2, {70, 30}},
    {4, {80, 10, 0, 10}},
    {4, {70, 10, 10, 10}},
    {6, {50, 10, 10, 10, 10, 10}},
    {6, {70, 10, 0, 10, 0, 10}},
    {8, {50, 10, 0, 10, 10, 10, 0, 10}},
};
// HP-GL/2's pattern length: 4 per cent of the P1-P2 diagonal.
constexpr double kDefaultPatternLength = 4;
}  // namespace

bool DashedLineType(const PlotterState& ps) {
  return ps.iLineType >= static_cast<int16_t>(gdi::PS_DASH) &&
         ps.iLineType <= static_cast<int16_t>(gdi::PS_DASHDOTDOT) && ps.nLineType >= 1 && ps.nLineType <= 8;
}

size_t LineTypeDashes(const PlotterState& ps, uint32_t* dashes) {
  const Pattern& p = kPatterns[ps.nLineType >= 1 && ps.nLineType <= 8 ? ps.nLineType - 1 : 1];
  double length = ps.dPatternLength > 0 ? ps.dPatternLength : kDefaultPatternLength;
  double units;
  if (ps.fPatternAbsolute) {
    units = length * kPlotterUnitsPerMm;  // millimetres
  } else {
    double dx = ps.dxP1P2, dy = ps.dyP1P2;
    units = length / 100 * std::sqrt(dx * dx + dy * dy);
  }
  units *= ps.Scale();
  for (size_t i = 0; i < p.count; ++i) {
    double d = std::round(p.part[i] / 100 * units);
    dashes[i] = !(d >= 1) ? 1 : d > 1e9 ? 1000000000u : static_cast<uint32_t>(d);
  }
  return p.count;
}

int32_t ConfiguredWidth(const PlotterState& ps, unsigned pen) {
  return pen < static_cast<unsigned>(kPenTableSize) ? ps.settings->PenWidth[pen] : 0;
}

void SelectNewPen(PlotterState& ps, int32_t width) {
  if (!Recording(ps)) return;
  gdi::Handle pen;
  if (DashedLineType(ps)) {
    // GDI draws its own dash styles solid wherever a pen is wider than a
    // pixel: a geometric pen keeps the line type's dashes at any width.
    uint32_t dashes[8];
    size_t n = LineTypeDashes(ps, dashes);
    int32_t w = ScaledWidth(ps, width);
    pen = ps.objects->ExtCreatePen(gdi::PS_GEOMETRIC | gdi::PS_USERSTYLE | gdi::PS_ENDCAP_ROUND | gdi::PS_JOIN_ROUND,
                                   w < 1 ? 1 : w, PenColor(ps), dashes, n);
  } else {
    pen = ps.objects->CreatePen(static_cast<uint16_t>(ps.iLineType), ScaledWidth(ps, width), PenColor(ps));
  }
  SelectReplacing(ps, pen, &ps.hpenCurrent);
}

int32_t CurrentPenWidth(const PlotterState& ps) {
  if (ps.nWidthOverride != 0) return ps.nWidthOverride;
  double mm = ps.iPen < 256 ? ps.dPenWidths[ps.iPen] : ps.dPenWidth;
  int32_t w = Trunc32(mm * kPlotterUnitsPerMm);
  int32_t s = ConfiguredWidth(ps, ps.iPen);
  if (s > 0) return Trunc32(static_cast<double>(w) * s);
  if (s < 0) return -s;
  return w;
}

void CreateCurrentPen(PlotterState& ps) { SelectNewPen(ps, CurrentPenWidth(ps)); }

}  // namespace tsl
