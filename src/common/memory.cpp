#include "common/memory.h"

#include <cstdlib>

namespace tsl {

namespace {
thread_local size_t tFailedSize = 0;
}  // namespace

size_t FailedAllocationSize() { return tFailedSize; }

void NoteFailedAllocation(size_t size) { tFailedSize = size; }

void* AllocateOrThrow(size_t size) {
  for (;;) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    std::new_handler handler = std::get_new_handler();
    if (!handler) {
      NoteFailedAllocation(size);
      throw std::bad_alloc();
    }
    handler();
  }
}

}  // namespace tsl
