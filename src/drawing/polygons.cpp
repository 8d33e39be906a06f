// Polygon mode (PM) with fill (FP) and edge (EP), built on the GDI path
// bracket, and the rectangles EA, ER, RA and RR.
#include "drawing/chords.h"
#include "drawing/fills.h"
#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/handlers.h"
#include "interpreter/transform.h"

namespace tsl {

void DoPM(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  int32_t mode = n > 0 ? ps.pArgs[0].l : 0;
  if (mode < 0 || mode > 2) {
    ps.nIgnored++;
    return;
  }
  if (gdi::Device* dc = DrawingDevice(ps)) {
    switch (mode) {
      case 0:
        dc->BeginPath();
        MoveToScaled(ps, ps.xPen, ps.yPen);
        break;
      case 1:
        dc->CloseFigure();
        MoveToScaled(ps, ps.xPen, ps.yPen);
        break;
      default:
        dc->CloseFigure();
        dc->EndPath();
        break;
    }
  }
  ps.nExecuted++;
}

void DoFP(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, 1);
  if (gdi::Device* dc = DrawingDevice(ps)) {
    RecordPolyFillMode(ps, *dc, n > 0 && ps.pArgs[0].l != 0 ? gdi::WINDING : gdi::ALTERNATE);
    FillBrushSelection brush(dc, ps.hbrFill);
    dc->FillPath();
  }
  ps.nExecuted++;
}

void DoEP(uint16_t, const char*, PlotterState& ps) {
  if (gdi::Device* dc = DrawingDevice(ps)) dc->StrokePath();
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
  GrowExtents(ps, corner.x, corner.y);
  ps.nExecuted++;
}

}  // namespace tsl
