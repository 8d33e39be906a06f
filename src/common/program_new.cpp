// The programs' operator new and delete: the system's memory, with the size
// that failed noted for the message that says so (common/memory.h). Linked
// into the programs themselves, not the libraries, so that tests may put
// an operator new of their own in its place.
#include <cstdlib>
#include <new>

#include "common/memory.h"

void* operator new(std::size_t size) { return tsl::AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return tsl::AllocateOrThrow(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return tsl::AllocateOrThrow(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
