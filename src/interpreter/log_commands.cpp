// CO and MG: commands whose whole effect is a log line.
#include <cstring>

#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"
#include "platform/progress.h"

namespace tsl {

void DoCO(uint16_t, const char* text, PlotterState& ps) {
  // The text always holds the mnemonic; a comment without quotes is empty.
  if (std::strlen(text) > 2) {
    ps.log->Note("Comment: %s\n", text);
  }
  ps.nExecuted++;
}

void DoMG(uint16_t, const char* text, PlotterState& ps) {
  const char* message = std::strlen(text) >= 2 ? text + 2 : "";
  if (*message) {
    if (ps.progress) ps.progress->SetMsg(message);
    ps.log->Note("Message: %s\n", message);
  }
  ps.nExecuted++;
}

}  // namespace tsl
