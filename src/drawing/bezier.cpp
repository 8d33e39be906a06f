// Cubic Bezier curves (BZ absolute, BR relative): groups of two control
// points and an end point, recorded as one PolyBezierTo.
#include "drawing/chords.h"
#include "interpreter/output_routines.h"
#include "interpreter/args.h"
#include "interpreter/handlers.h"
#include "interpreter/transform.h"

namespace tsl {

void DoBZ(uint16_t mnemonic, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  if (n % 6 != 0) {
    LogParamError("a multiple of 6", text, ps);
    ps.nErrors++;
    return;
  }
  RelativeScope relative(ps, SecondChar(mnemonic) == 'R');

  const size_t count = static_cast<size_t>(n / 2);
  std::vector<gdi::Point> pts(count);
  if (count > 0) {
    gdi::Point* p = pts.data();
    const Arg* a = ps.pArgs;
    // Each relative curve is measured from where the previous one ended, as
    // a plotter draws them; taking every group from the pen position at the
    // start of the command would pile the curves on top of each other.
    const gdi::Point start{ps.xPen, ps.yPen};
    for (size_t i = 0; i < count; ++i) {
      p[i] = Units(ps, a[2 * i], a[2 * i + 1]);
      GrowExtents(ps, p[i].x, p[i].y);
      if (i % 3 == 2) {
        ps.xPen = p[i].x;
        ps.yPen = p[i].y;
      }
    }
    ps.xPen = start.x;
    ps.yPen = start.y;
    if (ps.fPenDown) {
      gdi::Point last = p[count - 1];
      GrowExtents(ps, start.x, start.y);
      if (gdi::Device* dc = DrawingDevice(ps)) {
        SyncDrawingPosition(ps);
        for (size_t i = 0; i < count; ++i) p[i] = {ScaleCoord(ps, p[i].x), ScaleCoord(ps, p[i].y)};
        dc->PolyBezierTo(p, count);
      }
      ps.xPen = last.x;
      ps.yPen = last.y;
    }
  }
  ps.nExecuted++;
}

}  // namespace tsl
