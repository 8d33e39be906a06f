// Arcs, circles and Bezier curves.
// Not converted yet: these commands are reported as unrecognised.
#include "interpreter/handlers.h"

namespace tsl {

void DoAA(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoCI(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoBZ(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }

}  // namespace tsl
