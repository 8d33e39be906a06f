// Float-to-integer conversions that truncate toward zero and saturate, so
// that hostile parameters (1e300, NaN) never make a conversion undefined.
#pragma once
#include <cmath>
#include <cstdint>

namespace tsl {

inline int32_t Trunc32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

inline int32_t Sat32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

}  // namespace tsl
