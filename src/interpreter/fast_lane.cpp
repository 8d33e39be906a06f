#include "interpreter/fast_lane.h"

#include <atomic>

namespace tsl {

namespace {
std::atomic<bool> gLaneEnabled{true};
}  // namespace

bool FastLaneEnabled() { return gLaneEnabled.load(std::memory_order_relaxed); }
void SetFastLaneEnabled(bool on) { gLaneEnabled.store(on, std::memory_order_relaxed); }

}  // namespace tsl
