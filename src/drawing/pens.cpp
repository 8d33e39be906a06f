// Pens, colours and widths.
// Not converted yet: these commands are reported as unrecognised.
#include "interpreter/handlers.h"

namespace tsl {

void DoSP(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoNP(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoPC(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoCR(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoPW(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoWU(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoPT(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }

}  // namespace tsl

#include "drawing/pens.h"

namespace tsl {
void CreateCurrentPen(PlotterState&) {}
}  // namespace tsl
