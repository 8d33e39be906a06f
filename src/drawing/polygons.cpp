// Polygon mode (PM) with fill (FP) and edge (EP), over the polygon buffer,
// and the rectangles EA, ER, RA and RR.
#include <memory>

#include "drawing/chords.h"
#include "drawing/fills.h"
#include "interpreter/conversion_log.h"
#include "interpreter/output_routines.h"
#include "interpreter/polygon_buffer.h"
#include "interpreter/args.h"
#include "interpreter/handlers.h"
#include "interpreter/transform.h"

namespace tsl {

namespace {
// The metafile polygon mode draws past: FP and EP draw there.
gdi::Device* Metafile(PlotterState& ps) {
  gdi::Device* dc = DrawingDevice(ps);
  if (dc && ps.fPolygonMode && ps.polygon) return &ps.polygon->Metafile();
  return dc;
}
}  // namespace

void DoPM(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  int32_t mode = n > 0 ? ps.pArgs[0].l : 0;
  if (mode < 0 || mode > 2) {
    ps.nIgnored++;
    return;
  }
  switch (mode) {
    case 0:
      // A new buffer, its first figure starting at the pen.
      if (gdi::Device* dc = Metafile(ps)) {
        if (!ps.polygon) ps.polygon = std::make_shared<PolygonBuffer>();
        ps.polygon->Start(*dc);
        ps.hdcMeta = ps.polygon.get();
        ps.fPolygonMode = 1;
        MoveToScaled(ps, ps.xPen, ps.yPen);
      }
      break;
    case 1:
      // The next subpolygon starts at the pen; none is closed by an edge
      // the pen did not draw.
      if (ps.fPolygonMode) MoveToScaled(ps, ps.xPen, ps.yPen);
      break;
    default:
      EndPolygonMode(ps, text);
      break;
  }
  ps.nExecuted++;
}

void DoFP(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  gdi::Device* dc = Metafile(ps);
  if (dc && ps.polygon && !ps.polygon->Empty()) {
    // The buffer stays for the next FP or EP.
    RecordPolyFillMode(ps, *dc, n > 0 && ps.pArgs[0].l != 0 ? gdi::WINDING : gdi::ALTERNATE);
    FillBrushSelection brush(dc, ps.hbrFill);
    dc->BeginPath();
    ps.polygon->ReplayPath(*dc);
    dc->EndPath();
    dc->FillPath();
  }
  ps.nExecuted++;
}

void DoEP(uint16_t, const char*, PlotterState& ps) {
  gdi::Device* dc = Metafile(ps);
  if (dc && ps.polygon && !ps.polygon->Empty()) ps.polygon->ReplayEdges(ps, *dc);
  ps.nExecuted++;
}

void DoEA(uint16_t mnemonic, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 2);
  if (n != 2) {
    LogParamError("2", text, ps);
    ps.nErrors++;
    return;
  }
  RelativeScope relative(ps, SecondChar(mnemonic) == 'R');

  gdi::Point corner = Units(ps, ps.pArgs[0], ps.pArgs[1]);
  if (gdi::Device* dc = DrawingDevice(ps)) {
    gdi::Rect r{ScaleCoord(ps, ps.xPen), ScaleCoord(ps, ps.yPen), ScaleCoord(ps, corner.x),
                ScaleCoord(ps, corner.y)};
    const bool filled = static_cast<char>(mnemonic & 0xFF) == 'R';
    if (filled && ps.hbrFill) dc->FillRect(r, ps.hbrFill);
    dc->Rectangle(r.left, r.top, r.right, r.bottom);
  }
  // The rectangle spans from the pen to the corner: both grow the extents,
  // or a title block drawn with RA from a pen-up move falls outside the frame.
  GrowExtents(ps, ps.xPen, ps.yPen);
  GrowExtents(ps, corner.x, corner.y);
  ps.nExecuted++;
}

}  // namespace tsl
