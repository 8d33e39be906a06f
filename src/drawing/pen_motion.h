// The two output routines through which every straight line reaches the
// metafile, and the helpers they share with the other drawing commands.
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/gdi/types.h"
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
// truncated toward zero.
int32_t ScaleCoord(const PlotterState& ps, int32_t v);
// Records MoveToEx to the scaled pen point unless measure-only.
void MoveToScaled(PlotterState& ps, int32_t x, int32_t y);
// Records MoveToEx to the pen when the metafile's drawing position is
// elsewhere (text labels advance the pen without moving it, IN and a new
// page put the pen where the metafile is not), so that a line drawn next
// starts at the pen. Nothing when the two agree or measure-only.
void SyncDrawingPosition(PlotterState& ps);
// Grows the extents by (x, y), clamped into the IW window when one is set.
void GrowExtents(PlotterState& ps, int32_t x, int32_t y);
// The colour of pen iPen from the settings copy.
gdi::COLORREF PenColor(const PlotterState& ps);

}  // namespace tsl
