// Allocation failure on demand: while an AllocationFailure lives, the test
// program's operator new (support/allocation_failure.cpp, which a test
// program gets by using this class) counts the allocations of this thread
// and fails the ones chosen, as the system does when memory runs out.
#pragma once
#include <cstddef>
#include <functional>

namespace tsl::test {

class AllocationFailure {
 public:
  // `fail` sees the index (from 0) and size of each allocation and returns
  // true to make it fail; nullptr only counts.
  explicit AllocationFailure(std::function<bool(size_t index, size_t size)> fail);
  // Fails the `nth` allocation (from 0); a negative `nth` only counts.
  explicit AllocationFailure(long nth);
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

  size_t seen() const;
  bool fired() const;

 private:
  std::function<bool(size_t, size_t)> fail_;
};

}  // namespace tsl::test
