// The program's allocator: zero-filled blocks, small ones from a pool of 16
// blocks of 256 bytes. Callers report a failure: the allocator has nobody
// to tell.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>

namespace tsl {

struct LAInfo;  // the pool's bookkeeping

// A zero-filled block of `length` bytes, or nullptr.
void* AllocMem(size_t length);
void FreeMem(void* block);
// A copy of `text` with its NUL from the same allocator, or nullptr.
char* StrDup(const char* text);

// Puts the pool in service (first call) and returns its record.
LAInfo* InitPool();
void TerminatePool();
// Which pool block `p` is, or -1 when it is not a pool block in use.
int PoolBlockIndex(const void* p);

// Tests make chosen allocations fail: the hook sees every request (its
// length) and returns true to make it fail. nullptr removes it.
void SetAllocFailureHook(std::function<bool(size_t)> hook);

struct MemDeleter {
  void operator()(void* p) const { FreeMem(p); }
};
template <typename T>
using MemPtr = std::unique_ptr<T, MemDeleter>;

// An owned, zero-filled array of n objects of trivial type T, or empty.
template <typename T>
MemPtr<T> AllocArray(size_t n) {
  if (n > static_cast<size_t>(-1) / sizeof(T)) return MemPtr<T>();
  return MemPtr<T>(static_cast<T*>(AllocMem(n * sizeof(T))));
}

}  // namespace tsl
