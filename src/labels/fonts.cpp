// Fonts and character sets.
// Not converted yet: these commands are reported as unrecognised.
#include "interpreter/handlers.h"

namespace tsl {

void DoCS(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoSS(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }
void DoSD(uint16_t m, const char* text, PlotterState& ps) { DoUNK(m, text, ps); }

}  // namespace tsl

#include "labels/fonts.h"

namespace tsl {
void NewFont(PlotterState&, bool) {}
}  // namespace tsl
