// The point transform from parameters to plotter units.
#pragma once
#include "common/gdi/types.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// A parameter pair to a pen point: user scaling, RO rotation, the run's
// drawing rotation, then placement (absolute from P1 or relative to the pen,
// with mirroring).
gdi::Point Units(PlotterState& ps, const Arg& x, const Arg& y);
// Step 1 alone: user units to plotter units (integer forms when not SCALED).
gdi::Point ScaleUnits(const PlotterState& ps, const Arg& x, const Arg& y, bool relative);
// Rotates p by `degrees` the plotter's way (truncating toward zero).
void RotateUnits(int degrees, gdi::Point& p);
// RO rotation and then the drawing rotation of the settings copy.
void RotateAll(const PlotterState& ps, gdi::Point& p);
// Placement: relative to the pen or from P1, with mirroring.
void RelativeUnits(const PlotterState& ps, gdi::Point& p, bool relative);

// Puts relative plotting on or off for the span of one command (the R forms
// AR, BR, ER, RR are relative, PE always is) and gives the plotter back the
// mode it had.
class RelativeScope {
 public:
  RelativeScope(PlotterState& ps, bool relative) : ps_(ps), saved_(ps.bMode & RELATIVE) {
    ps.bMode = static_cast<uint8_t>(relative ? (ps.bMode | RELATIVE) : (ps.bMode & ~RELATIVE));
  }
  ~RelativeScope() { ps_.bMode = static_cast<uint8_t>((ps_.bMode & ~RELATIVE) | saved_); }
  RelativeScope(const RelativeScope&) = delete;
  RelativeScope& operator=(const RelativeScope&) = delete;

 private:
  PlotterState& ps_;
  uint8_t saved_;
};

}  // namespace tsl
