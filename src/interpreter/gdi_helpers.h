// Object bookkeeping shared by the handlers: GDI objects are deleted only
// after they were deselected, and a run frees every object it made.
#pragma once
#include "common/gdi/types.h"
#include "interpreter/plotter_state.h"

namespace tsl {

// Deletes `h` through the metafile (which records it) or, in a measure-only
// run, from the run's objects. An object the metafile still has selected is
// kept, as GDI keeps it.
void DeleteGdiObject(PlotterState& ps, gdi::Handle h);

// Makes `h` the current object of its kind: selects it (unless
// measure-only) and deletes the object it replaced. `current` tracks the
// handle across pages, when the metafile that selected it is gone.
void SelectReplacing(PlotterState& ps, gdi::Handle h, gdi::Handle* current);

}  // namespace tsl
