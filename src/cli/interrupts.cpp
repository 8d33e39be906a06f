#include "cli/interrupts.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace tsl {

namespace {

std::atomic<bool> gInterrupted{false};
volatile sig_atomic_t gSignal = 0;

extern "C" void OnSignal(int sig) {
  if (!gSignal) gSignal = sig;
  gInterrupted.store(true);
}

}  // namespace

void CatchInterrupts() {
  struct sigaction sa{};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  // No SA_RESTART: a read from a pipe that waits returns, and sees the flag.
  sa.sa_flags = 0;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

const std::atomic<bool>* InterruptFlag() { return &gInterrupted; }

bool Interrupted() { return gInterrupted.load(); }

void DieOfInterrupt() {
  int sig = gSignal;
  if (!sig) return;
  struct sigaction sa{};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  sigaction(sig, &sa, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(sig);
  _exit(128 + sig);
}

}  // namespace tsl
