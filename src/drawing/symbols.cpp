// Symbol mode and tick marks.
// Not converted yet: these commands are reported as unrecognised.
#include "interpreter/handlers.h"

namespace tsl {

void DoSM(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoTL(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoXT(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }

}  // namespace tsl
