// Label attributes.
// Not converted yet: these commands are reported as unrecognised.
#include "interpreter/handlers.h"

namespace tsl {

void DoDI(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoDT(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoLO(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoDV(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoCP(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoES(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoSI(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoSL(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }

}  // namespace tsl
