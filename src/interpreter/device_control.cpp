// Printer-language escapes and the commands only a physical plotter obeys.
#include <cstring>

#include "interpreter/args.h"
#include "interpreter/handlers.h"

namespace tsl {

void DoEsc(uint16_t mnemonic, const char* text, PlotterState& ps) {
  switch (SecondChar(mnemonic)) {
    case 'E':
      DoIN(Mnemonic('I', 'N'), "IN", ps);
      break;
    case '%': {
      size_t n = std::strlen(text);
      if (n > 2 && text[n - 1] == 'B')
        ps.bMode |= HPGL_MODE;
      else
        ps.bMode &= ~HPGL_MODE;
      ps.nExecuted++;
      break;
    }
    default:
      ps.nIgnored++;
      break;
  }
}

void DoPG(uint16_t, const char* text, PlotterState& ps) {
  LogNotImplemented("Page-Feed", text, ps);
  ps.nIgnored++;
}

void DoMC(uint16_t, const char* text, PlotterState& ps) {
  int n = GetArgs(text, ps, ps.nArgsMax);
  if (n == 0 || ps.pArgs[0].l == 0) {
    ps.nExecuted++;
    return;
  }
  LogNotImplemented("Merge Control (On)", text, ps);
  ps.nIgnored++;
}

void DoVS(uint16_t, const char* text, PlotterState& ps) {
  if (GetArgs(text, ps, 1) == 0) {
    ps.nExecuted++;
    return;
  }
  LogNotImplemented("Velocity Select", text, ps);
  ps.nIgnored++;
}

}  // namespace tsl
