// A small Polyline Encoded writer for tests: the reverse of the decoder,
// written from the encoding rules rather than from the decoder's code.
#pragma once
#include <cstdint>
#include <string>

namespace tsl::test {

// One number: the sign moves into the lowest bit, then digits of `bits`
// (6 or 5) least significant first, the last one marked.
inline std::string PeNumber(int64_t value, int bits = 6) {
  uint64_t magnitude = value < 0 ? static_cast<uint64_t>(-(value + 1)) + 1 : static_cast<uint64_t>(value);
  uint64_t n = (magnitude << 1) | (value < 0 ? 1u : 0u);
  const uint64_t base = uint64_t{1} << bits;
  const int lastOffset = bits == 6 ? 191 : 95;
  std::string out;
  while (n >= base) {
    out += static_cast<char>(63 + (n & (base - 1)));
    n >>= bits;
  }
  out += static_cast<char>(lastOffset + n);
  return out;
}

inline std::string PePair(int64_t x, int64_t y, int bits = 6) { return PeNumber(x, bits) + PeNumber(y, bits); }

}  // namespace tsl::test
