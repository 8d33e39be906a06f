// Label rendering.
// Not converted yet: these commands are reported as unrecognised.
#include "interpreter/handlers.h"

namespace tsl {

void DoLB(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoUC(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }

}  // namespace tsl

#include "labels/label_render.h"

namespace tsl {
void PlotChars(PlotterState&, const char*, size_t) {}
}  // namespace tsl
