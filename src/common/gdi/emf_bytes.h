// The one byte layer of the program: little-endian fields (stores, loads,
// appends, and reads checked against the end of their data), EMF records
// and the EMF header, used by the recorder, the WMF translator, the DIB and
// BMP code and the loaders; and the text conversions EMF needs: 8-bit text
// to UTF-16 through code page 1252 (what GDI does for the A functions on a
// Western system) and UTF-16 to UTF-8 for readable dumps.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/gdi/types.h"

namespace gdi {

inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  // One store where the host's order is the file's: every record field
  // passes here.
  std::memcpy(p, &v, 4);
#else
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
#endif
}
inline uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t GetU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline int16_t GetI16(const uint8_t* p) { return static_cast<int16_t>(GetU16(p)); }
inline int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(GetU32(p)); }

inline void Append16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Append32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// Bytes whose fields are read with their bounds checked: a field that lies
// outside, even in part, is absent (Has is false, and it reads as 0), so a
// length or offset taken from a file can never make a read run past it.
struct ByteSpan {
  const uint8_t* data = nullptr;
  size_t size = 0;

  bool Has(size_t off, size_t n) const { return off <= size && n <= size - off; }
  uint16_t U16(size_t off) const { return Has(off, 2) ? GetU16(data + off) : 0; }
  uint32_t U32(size_t off) const { return Has(off, 4) ? GetU32(data + off) : 0; }
  int16_t I16(size_t off) const { return static_cast<int16_t>(U16(off)); }
  int32_t I32(size_t off) const { return static_cast<int32_t>(U32(off)); }
  // The part from `off` on (empty past the end).
  ByteSpan From(size_t off) const { return off <= size ? ByteSpan{data + off, size - off} : ByteSpan{}; }
};

// A finished record: bytes owned by the builder that made it, valid until
// its next Begin.
struct ByteView {
  const uint8_t* data;
  size_t size;
};

// Builds one record at a time in a buffer it reuses: Begin writes the type
// and a size placeholder, End pads to 4 bytes and patches the size. Appends
// are plain stores into room grown ahead, since large conversions write
// tens of millions of small fields.
class RecordBuilder {
 public:
  void Begin(uint32_t type) {
    n_ = 0;
    U32(type);
    U32(0);
  }
  // Room for k more bytes at the end, to be filled by the caller before the
  // next append.
  uint8_t* Grow(size_t k) {
    if (k > buf_.size() - n_) Expand(k);
    uint8_t* p = buf_.data() + n_;
    n_ += k;
    return p;
  }
  void U32(uint32_t v) { PutU32(Grow(4), v); }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U16(uint16_t v) {
    uint8_t* p = Grow(2);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
  }
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void U8(uint8_t v) { *Grow(1) = v; }
  void F32(float v);
  void Zeros(size_t k);
  void Bytes(const uint8_t* p, size_t k);
  void RectL(const Rect& r) {
    uint8_t* p = Grow(16);
    PutU32(p, static_cast<uint32_t>(r.left));
    PutU32(p + 4, static_cast<uint32_t>(r.top));
    PutU32(p + 8, static_cast<uint32_t>(r.right));
    PutU32(p + 12, static_cast<uint32_t>(r.bottom));
  }
  void PointL(Point pt) {
    uint8_t* p = Grow(8);
    PutU32(p, static_cast<uint32_t>(pt.x));
    PutU32(p + 4, static_cast<uint32_t>(pt.y));
  }
  void Pad4() { Zeros((4 - n_ % 4) % 4); }
  size_t Size() const { return n_; }
  // Pads, patches the size field and returns the finished record.
  ByteView End() {
    Pad4();
    PutU32(buf_.data() + 4, static_cast<uint32_t>(n_));
    return View();
  }
  ByteView View() const { return ByteView{buf_.data(), n_}; }

 private:
  void Expand(size_t k);
  std::vector<uint8_t> buf_;  // its size is the room; n_ bytes are used
  size_t n_ = 0;
};

// The fields of an EMR_HEADER of the fixed 108 bytes, the description (if
// any) after them.
struct EmfHeaderFields {
  Rect bounds;  // device pixels, inclusive
  Rect frame;   // 0.01 mm
  uint32_t nBytes = 0, nRecords = 0;
  uint16_t nHandles = 0;
  std::u16string description;
  Size device, millimeters;  // of the reference device
};
constexpr size_t kEmfHeaderFixed = 108;
// The header record, padded to 4 bytes, into `rb` (which it begins).
ByteView BuildEmfHeader(RecordBuilder& rb, const EmfHeaderFields& h);

char16_t Cp1252ToUnicode(uint8_t b);
std::u16string Cp1252ToUtf16(const char* text, size_t n);
// Invalid surrogates become U+FFFD.
std::string Utf16ToUtf8(const char16_t* text, size_t n);
float BitsToFloat(uint32_t bits);

}  // namespace gdi
