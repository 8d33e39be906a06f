// The fill brush and fill mode shared by the polygon, rectangle and wedge
// commands.
#pragma once
#include "common/gdi/device.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// Deletes hbrFill and makes the brush of iFillType in the colour of pen
// iPen: solid, hatched (3 horizontal, 4 diagonal cross) or shaded (10, the
// colour tinted to the FT level). The brush is made in a measure-only run
// too, and is not selected.
void ReplaceFillBrush(PlotterState& ps);

// Selects hbrFill for the lifetime of the object and then the brush it
// replaced. Does nothing without a device or a fill brush.
class FillBrushSelection {
 public:
  FillBrushSelection(gdi::Device* dc, gdi::Handle brush);
  ~FillBrushSelection();
  FillBrushSelection(const FillBrushSelection&) = delete;
  FillBrushSelection& operator=(const FillBrushSelection&) = delete;

 private:
  gdi::Device* dc_ = nullptr;
  gdi::Handle old_ = 0;
};

// Records SetPolyFillMode and remembers the mode, so that a command that
// needs another mode for a moment can put it back; returns the mode that was
// in force.
int RecordPolyFillMode(PlotterState& ps, gdi::Device& dc, int mode);

}  // namespace tsl
