// Running out of memory. Every allocation goes through operator new, which
// throws std::bad_alloc when the system has no memory left; it is caught
// where the failure can be told: a command that cannot get its memory ends
// its run (logged and counted, the metafile closed and kept), a run that
// cannot go on returns 0 after IDS_ALLOCATION_FAILED, and each front end
// catches whatever escapes. The program's own operator new
// (common/program_new.cpp, linked into the programs) notes the size that
// failed, for the message.
#pragma once
#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

namespace tsl {

// The size of the last allocation that failed on this thread; 0 when none
// failed or the size is not known.
size_t FailedAllocationSize();
void NoteFailedAllocation(size_t size);

// Memory from the system for operator new: the block, or std::bad_alloc
// after noting the size (and trying the new-handler, as operator new must).
void* AllocateOrThrow(size_t size);

// For the callers that have something else to do when memory runs out (a
// curve drawn as an arc instead of chords): `v` resized to `n` elements,
// or false, with `v` as it was.
template <typename T>
bool TryResize(std::vector<T>& v, size_t n) {
  try {
    v.resize(n);
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return false;
}

}  // namespace tsl
