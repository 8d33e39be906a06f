#include "platform/clock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tsl {

namespace {
class SystemClockImpl : public Clock {
 public:
  int64_t Now() const override {
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
      char* end = nullptr;
      long long v = std::strtoll(epoch, &end, 10);
      if (end != epoch && *end == '\0' && v >= 0) return v;
    }
    return static_cast<int64_t>(std::time(nullptr));
  }
};
}  // namespace

const Clock& SystemClock() {
  static SystemClockImpl clock;
  return clock;
}

std::string CTime(int64_t t) {
  static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &tt);
#else
  localtime_r(&tt, &tm);
#endif
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %s %2d %02d:%02d:%02d %d\n", kDays[tm.tm_wday % 7],
                kMonths[tm.tm_mon % 12], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                tm.tm_year + 1900);
  return buf;
}

}  // namespace tsl
