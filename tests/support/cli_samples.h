// What the command line's tests share: a small plot, and the fields of the
// pictures it writes.
#pragma once
#include <cstdint>
#include <string>

namespace tsl::test {

// A 100 x 75 mm frame in pen 1 and a circle in pen 2.
constexpr char kSamplePlot[] = "IN;SP1;PD0,0,4000,0,4000,3000,0,3000,0,0;SP2;PU1000,1000;CI500;";

// A PNG header's fields are big-endian, a BMP's little-endian.
inline uint32_t BigEndian32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}
inline int32_t LittleEndian32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 4; i-- > 0;) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return static_cast<int32_t>(v);
}

}  // namespace tsl::test
