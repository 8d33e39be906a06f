// Reading the call log of the handler fixture back into numbers.
#pragma once
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/gdi/types.h"

namespace tsl::test {

// The points of a call line such as "PolylineTo (0,0) (100,0)".
inline std::vector<gdi::Point> PointsOf(const std::string& call) {
  // strtol, not sscanf: sscanf measures the whole rest of the string on
  // every call, which is quadratic for long point lists.
  std::vector<gdi::Point> pts;
  const char* s = call.c_str();
  while ((s = std::strchr(s, '(')) != nullptr) {
    char* end = nullptr;
    long x = std::strtol(s + 1, &end, 10);
    if (end != s + 1 && *end == ',') {
      const char* ys = end + 1;
      long y = std::strtol(ys, &end, 10);
      if (end != ys && *end == ')') pts.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
    }
    ++s;
  }
  return pts;
}

// The calls that begin with `prefix`.
inline std::vector<std::string> CallsStarting(const std::vector<std::string>& calls,
                                              const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}

}  // namespace tsl::test
