// PA, PD, PR and PU: pen moves, drawn through the output routines.
#include <cstddef>
#include <vector>

#include "interpreter/args.h"
#include "interpreter/handlers.h"
#include "interpreter/label_services.h"
#include "interpreter/output_routines.h"
#include "interpreter/transform.h"

namespace tsl {

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
  std::vector<gdi::Point> points(capacity);
  gdi::Point* pts = points.data();
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

void MovePen(int n, PlotterState& ps) {
  if (n < 2) return;
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
}  // namespace

void DoPA(uint16_t mnemonic, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  SetPenMode(mnemonic, ps);
  if (n % 2) {
    LogParamError("an even number of", text, ps);
    --n;
  }
  MovePen(n, ps);
  ps.nExecuted++;
}

void DoPenMotion(uint16_t mnemonic, int n, PlotterState& ps) {
  SetPenMode(mnemonic, ps);
  // One pair without symbols, the commonest pen motion, goes in one step.
  if (n == 2 && !ps.chSymbol)
    PenTo(ps, PenUnits(ps, ps.pArgs[0], ps.pArgs[1]));
  else
    MovePen(n, ps);
  ps.nExecuted++;
}

}  // namespace tsl
