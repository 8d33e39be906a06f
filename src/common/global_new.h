// The global operator new and delete over `allocate` (a function taking a
// size and returning memory from malloc, or throwing std::bad_alloc), with
// free: one definition for the programs' operator new (program_new.cpp)
// and the tests' counting one.
#pragma once
#include <cstdlib>
#include <new>

#define TSL_GLOBAL_NEW_OVER(allocate)                                                             \
  void* operator new(std::size_t size) { return allocate(size); }                                 \
  void* operator new[](std::size_t size) { return allocate(size); }                               \
  void* operator new(std::size_t size, const std::nothrow_t&) noexcept {                          \
    try {                                                                                          \
      return allocate(size);                                                                       \
    } catch (const std::bad_alloc&) {                                                              \
      return nullptr;                                                                              \
    }                                                                                              \
  }                                                                                                \
  void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {                    \
    return operator new(size, tag);                                                                \
  }                                                                                                \
  void operator delete(void* p) noexcept { std::free(p); }                                        \
  void operator delete[](void* p) noexcept { std::free(p); }                                      \
  void operator delete(void* p, std::size_t) noexcept { std::free(p); }                           \
  void operator delete[](void* p, std::size_t) noexcept { std::free(p); }                         \
  void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }                 \
  void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
