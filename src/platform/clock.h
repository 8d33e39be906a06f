// Seconds since 1970. Honours SOURCE_DATE_EPOCH so that two runs of the
// same input give identical bytes; tests may fix the time outright.
#pragma once
#include <cstdint>
#include <string>

namespace tsl {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t Now() const = 0;
};

// time(), or SOURCE_DATE_EPOCH when set.
const Clock& SystemClock();

class FixedClock : public Clock {
 public:
  explicit FixedClock(int64_t t) : t_(t) {}
  int64_t Now() const override { return t_; }

 private:
  int64_t t_;
};

// The 24 characters of ctime() ("Wed Jun 30 21:49:08 1993") and its newline,
// in local time, without ctime's shared buffer.
std::string CTime(int64_t t);

}  // namespace tsl
