// A minimal, bounds-checked walk over EMF bytes for the Windows tests: the
// records with their type, size and little-endian fields.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tsl::test {

struct RawRecord {
  uint32_t type = 0;
  std::vector<uint8_t> bytes;  // the whole record

  // The field at byte offset `off`; `fallback` when it lies outside.
  uint32_t U32(size_t off, uint32_t fallback = 0xDEADBEEF) const {
    if (off + 4 > bytes.size()) return fallback;
    uint32_t v;
    std::memcpy(&v, bytes.data() + off, 4);
    return v;
  }
  int32_t I32(size_t off) const { return static_cast<int32_t>(U32(off)); }
};

// The records of `emf`, header first; empty when a record size is not a
// multiple of 4, is below 8 or runs past the end.
inline std::vector<RawRecord> WalkEmf(const std::vector<uint8_t>& emf) {
  std::vector<RawRecord> out;
  size_t pos = 0;
  while (pos + 8 <= emf.size()) {
    uint32_t type, size;
    std::memcpy(&type, emf.data() + pos, 4);
    std::memcpy(&size, emf.data() + pos + 4, 4);
    if (size < 8 || size % 4 != 0 || size > emf.size() - pos) return {};
    out.push_back(RawRecord{type, std::vector<uint8_t>(emf.begin() + pos, emf.begin() + pos + size)});
    pos += size;
  }
  if (pos != emf.size()) return {};
  return out;
}

inline std::vector<uint32_t> Types(const std::vector<RawRecord>& records) {
  std::vector<uint32_t> out;
  for (const RawRecord& r : records) out.push_back(r.type);
  return out;
}

}  // namespace tsl::test
