#include "support/allocation_failure.h"

#include <cstdlib>
#include <new>
#include <type_traits>

#include "common/global_new.h"
#include "common/memory.h"

namespace tsl::test {

namespace {
// The plan of this thread; other threads allocate as usual. Every thread
// touches it at its first allocation, so it must have no destructor: MinGW
// runs thread_local destructors after the thread's storage is gone, and a
// std::function here crashed threads at their exit under Wine.
struct Plan {
  const std::function<bool(size_t, size_t)>* fail = nullptr;  // the AllocationFailure's
  size_t seen = 0;
  bool fired = false;
  bool active = false;
  bool deciding = false;  // the decision itself may allocate
};
static_assert(std::is_trivially_destructible<Plan>::value, "no thread-exit destructor");
thread_local Plan tPlan;

bool ShouldFail(size_t size) {
  Plan& p = tPlan;
  if (!p.active || p.deciding) return false;
  size_t index = p.seen++;
  if (!p.fail || !*p.fail) return false;
  p.deciding = true;
  bool fail = (*p.fail)(index, size);
  p.deciding = false;
  if (fail) p.fired = true;
  return fail;
}
}  // namespace

AllocationFailure::AllocationFailure(std::function<bool(size_t, size_t)> fail) : fail_(std::move(fail)) {
  tPlan = Plan();
  tPlan.fail = &fail_;
  tPlan.active = true;
}

AllocationFailure::AllocationFailure(long nth)
    : AllocationFailure(nth < 0 ? std::function<bool(size_t, size_t)>()
                                : [nth](size_t index, size_t) { return index == static_cast<size_t>(nth); }) {}

AllocationFailure::~AllocationFailure() {
  tPlan.active = false;
  tPlan.fail = nullptr;
}

size_t AllocationFailure::seen() const { return tPlan.seen; }
bool AllocationFailure::fired() const { return tPlan.fired; }

}  // namespace tsl::test

namespace {
void* Allocate(std::size_t size) {
  if (tsl::test::ShouldFail(size)) {
    tsl::NoteFailedAllocation(size);
    throw std::bad_alloc();
  }
  return tsl::AllocateOrThrow(size);
}
}  // namespace

TSL_GLOBAL_NEW_OVER(Allocate)
