// The interpreter's output core: the two output routines through which every
// straight line reaches the metafile, the pen creation rule every pen goes
// through, and the helpers the handler sets share.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "common/gdi/types.h"
#include "interpreter/numeric.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// Records one segment from the drawing position to the pen point (x, y):
// LineTo and the end pixel, or dots in dot mode. Nothing when measure-only.
void DoLineTo(PlotterState& ps, int32_t x, int32_t y);
// Records a connected run through `count` pen points (scaled in place):
// PolylineTo and the end pixel, or dots in dot mode. Nothing when
// measure-only.
void DoPolylineXX(PlotterState& ps, gdi::Point* points, size_t count);

// The device half of DoPolylineXX: a run through points already scaled,
// with its end pixel, or dots in dot mode.
void RecordRun(PlotterState& ps, gdi::Device& dc, const gdi::Point* points, size_t count);

// A pen coordinate as handed to GDI: times the scale percentage / 100,
// truncated toward zero. Inline, as the next two: every point drawn takes
// them.
inline int32_t ScaleCoord(const PlotterState& ps, int32_t v) {
  double pct = ps.settings->ScalePercent;
  if (std::fabs(pct - 100.0) <= 0.01) return v;
  return Trunc32(static_cast<double>(v) * pct / 100.0);
}
// Records MoveToEx to the scaled pen point unless measure-only.
inline void MoveToScaled(PlotterState& ps, int32_t x, int32_t y) {
  if (ps.hdcMeta) ps.hdcMeta->MoveToEx(ScaleCoord(ps, x), ScaleCoord(ps, y));
}
// Records MoveToEx to the pen when the metafile's drawing position is
// elsewhere (text labels advance the pen without moving it, IN and a new
// page put the pen where the metafile is not), so that a line drawn next
// starts at the pen. Nothing when the two agree or measure-only.
void SyncDrawingPosition(PlotterState& ps);
// Grows the extents by (x, y), clamped into the IW window when one is set.
inline void GrowExtents(PlotterState& ps, int32_t x, int32_t y) {
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
// Takes the pen to p from where the metafile's drawing position is: a
// line when `draw` (measured from where it starts too), else a move.
inline void StepPen(PlotterState& ps, gdi::Point p, bool draw) {
  if (draw) {
    GrowExtents(ps, ps.xPen, ps.yPen);
    DoLineTo(ps, p.x, p.y);
    GrowExtents(ps, p.x, p.y);
  } else {
    MoveToScaled(ps, p.x, p.y);
  }
  ps.xPen = p.x;
  ps.yPen = p.y;
}
// Takes the pen to p: a line when it is down, a move when it is up.
inline void PenTo(PlotterState& ps, gdi::Point p) {
  if (ps.fPenDown) SyncDrawingPosition(ps);
  StepPen(ps, p, ps.fPenDown != 0);
}
// The colour of pen iPen from the settings copy.
gdi::COLORREF PenColor(const PlotterState& ps);

// The pen creation rule of SP, PT, PW, LT, PE and the stroke font: creates
// the current pen (iPen, iLineType, widths) and, unless measure-only,
// selects it and deletes the pen it replaced.
void CreateCurrentPen(PlotterState& ps);

// The width of the current pen in plotter units, before scaling: the
// override when one is set, else the normal width adjusted by the pen's
// configured width.
int32_t CurrentPenWidth(const PlotterState& ps);
// The width configured for `pen` (PenWidth: 0 = the plot's, n > 0 = n
// times it, -n = n units).
int32_t ConfiguredWidth(const PlotterState& ps, unsigned pen);
// Creates, selects and swaps in a pen of `width` plotter units in the
// current style and colour; nothing unless recording. Dashed line types
// make geometric pens with dashes of their own (ExtCreatePen), which GDI
// draws dashed at any width.
void SelectNewPen(PlotterState& ps, int32_t width);

// Whether pens of the current line type are dashed.
bool DashedLineType(const PlotterState& ps);
// The dash and gap lengths of the current line type in logical units (at
// most 8): HP-GL/2's pattern of the type, stretched to the pattern length
// (per cent of the P1-P2 diagonal, or millimetres). Every length is at least
// one unit: a dot is a round pen end, not nothing.
size_t LineTypeDashes(const PlotterState& ps, uint32_t* dashes);

}  // namespace tsl
