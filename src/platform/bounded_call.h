// Runs a call that offers no timeout of its own (a host name lookup) so that
// its caller waits a bounded time.
#pragma once
#include <functional>

namespace tsl {

// Runs `work` on a thread of its own and waits at most `timeoutMs` for it.
// True when it finished in time. Otherwise the thread is left to finish
// alone: `work` must own (or share) everything it touches.
bool RunBounded(std::function<void()> work, int timeoutMs);

}  // namespace tsl
