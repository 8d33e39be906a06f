// Little-endian field access and the text conversions EMF needs: 8-bit text
// to UTF-16 through code page 1252 (what GDI does for the A functions on a
// Western system) and UTF-16 to UTF-8 for readable dumps.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/gdi/types.h"

namespace gdi {

inline void PutU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t GetU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Appends one record to a byte buffer: Begin writes the type and a size
// placeholder, End pads to 4 bytes and patches the size.
class RecordBuilder {
 public:
  explicit RecordBuilder(std::vector<uint8_t>& out) : out_(out) {}
  void Begin(uint32_t type) {
    out_.clear();
    U32(type);
    U32(0);
  }
  // Room for n more bytes at the end, to be filled by the caller.
  uint8_t* Grow(size_t n) {
    size_t at = out_.size();
    out_.resize(at + n);
    return out_.data() + at;
  }
  void U32(uint32_t v) {
    uint8_t b[4];
    PutU32(b, v);
    out_.insert(out_.end(), b, b + 4);
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U16(uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    out_.insert(out_.end(), b, b + 2);
  }
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void U8(uint8_t v) { out_.push_back(v); }
  void F32(float v);
  void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }
  void Bytes(const uint8_t* p, size_t n) { out_.insert(out_.end(), p, p + n); }
  void RectL(const Rect& r) {
    I32(r.left);
    I32(r.top);
    I32(r.right);
    I32(r.bottom);
  }
  void PointL(Point p) {
    I32(p.x);
    I32(p.y);
  }
  void Pad4() {
    while (out_.size() % 4) out_.push_back(0);
  }
  size_t Size() const { return out_.size(); }
  // Pads, patches the size field and returns the finished record.
  const std::vector<uint8_t>& End() {
    Pad4();
    PutU32(out_.data() + 4, static_cast<uint32_t>(out_.size()));
    return out_;
  }

 private:
  std::vector<uint8_t>& out_;
};

char16_t Cp1252ToUnicode(uint8_t b);
std::u16string Cp1252ToUtf16(const char* text, size_t n);
// Invalid surrogates become U+FFFD.
std::string Utf16ToUtf8(const char16_t* text, size_t n);
float BitsToFloat(uint32_t bits);

}  // namespace gdi
