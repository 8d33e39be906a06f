// Polygons, rectangles, wedges and fills.
// Not converted yet: these commands are reported as unrecognised.
#include "interpreter/handlers.h"

namespace tsl {

void DoEA(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoEW(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoPM(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoEP(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoFP(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoFT(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoAC(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }

}  // namespace tsl
