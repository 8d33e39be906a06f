// Reading the call log of the handler fixture back into numbers.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "common/gdi/types.h"

namespace tsl::test {

// The points of a call line such as "PolylineTo (0,0) (100,0)".
inline std::vector<gdi::Point> PointsOf(const std::string& call) {
  std::vector<gdi::Point> pts;
  size_t pos = 0;
  while ((pos = call.find('(', pos)) != std::string::npos) {
    gdi::Point p;
    if (std::sscanf(call.c_str() + pos, "(%d,%d)", &p.x, &p.y) == 2) pts.push_back(p);
    ++pos;
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
