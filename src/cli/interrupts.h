// Ctrl-C and SIGTERM: the signal raises a flag that the conversions and
// exports watch; the program then removes its temporary files, puts the
// older outputs back, and ends by the same signal, so that the shell (and a
// loop around the program) sees that it was interrupted.
#pragma once
#include <atomic>

namespace tsl {

// Installs the handlers of SIGINT, SIGTERM and SIGHUP.
void CatchInterrupts();
// The flag raised by the first of them.
const std::atomic<bool>* InterruptFlag();
bool Interrupted();
// Ends the program by the signal that arrived (no return); returns only
// when none did.
void DieOfInterrupt();

}  // namespace tsl
