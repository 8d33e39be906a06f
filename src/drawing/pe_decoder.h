// Reads the encoded numbers of a Polyline Encoded text: base-64 digits
// (bytes 63-126, last digit 191-254) or, after the 7-bit flag, base-32 digits
// (63-94, last digit 95-126), least significant first, with the sign in the
// lowest bit. Reads only up to the text's NUL.
#pragma once
#include <cstdint>

namespace tsl {

namespace pe_detail {

// Byte classes: a digit's value (0-63), kLast | value for a last digit,
// kEnd for the NUL, kStray for anything else.
constexpr uint8_t kLast = 0x40, kEnd = 0x80, kStray = 0xC0;

struct ByteClasses {
  uint8_t six[256];
  uint8_t five[256];
};

constexpr ByteClasses MakeByteClasses() {
  ByteClasses t{};
  for (int b = 0; b < 256; ++b) {
    uint8_t six = kStray, five = kStray;
    if (b == 0) six = five = kEnd;
    if (b >= 63 && b <= 126) six = static_cast<uint8_t>(b - 63);
    if (b >= 191 && b <= 254) six = static_cast<uint8_t>(kLast | (b - 191));
    if (b >= 63 && b <= 94) five = static_cast<uint8_t>(b - 63);
    if (b >= 95 && b <= 126) five = static_cast<uint8_t>(kLast | (b - 95));
    t.six[b] = six;
    t.five[b] = five;
  }
  return t;
}

inline constexpr ByteClasses kByteClasses = MakeByteClasses();
inline constexpr uint8_t kNul = 0;

}  // namespace pe_detail

class PeDecoder {
 public:
  explicit PeDecoder(const char* text) : p_(reinterpret_cast<const uint8_t*>(text)) {}

  // The byte at the cursor; 0 at the end of the text or after a stray byte.
  uint8_t Peek() const { return *p_; }
  void Skip() {
    if (*p_) ++p_;
  }
  bool AtEnd() const { return *p_ == 0; }
  // Whether the byte at the cursor starts a number (low seven bits 63 or more).
  bool StartsNumber() const { return (*p_ & 0x7F) >= 63; }
  void SetFiveBit() {
    classes_ = pe_detail::kByteClasses.five;
    width_ = 5;
  }

  // Reads one number into *value. The end of the text ends a number. A byte
  // that is neither a digit nor a last digit of the current width is taken
  // as the end of the text: the decoder stops there. Returns false when no
  // digit was read.
  bool ReadNumber(int64_t* value) {
    using namespace pe_detail;
    const uint8_t* p = p_;
    unsigned c = classes_[*p];
    // Most numbers have one or two digits: read those without the loop.
    // The second byte exists, since the first is not the NUL.
    if ((c & kStray) == kLast) {
      p_ = p + 1;
      return Signed(c & 0x3F, value);
    }
    if (c < kLast) {
      const unsigned c1 = classes_[p[1]];
      if ((c1 & kStray) == kLast) {
        p_ = p + 2;
        return Signed(c | (c1 & 0x3F) << width_, value);
      }
    }
    if (c & kEnd) {
      Stop(c, *p);
      *value = 0;
      return false;
    }
    uint64_t n = 0;
    unsigned shift = 0;
    for (;;) {
      ++p;
      // Digits beyond 64 bits cannot be represented; they are dropped.
      if (shift < 64) {
        n |= static_cast<uint64_t>(c & 0x3F) << shift;
        shift += width_;
      }
      if (c & kLast) break;
      c = classes_[*p];
      if (c & kEnd) {
        Stop(c, *p);
        break;
      }
    }
    if (p_ != &kNul) p_ = p;
    return Signed(n, value);
  }

  // The sign is in the lowest bit.
  static bool Signed(uint64_t n, int64_t* value) {
    const uint64_t magnitude = n >> 1;
    *value = (n & 1) ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
  }

  // Whether a stray byte stopped the decoder, and which.
  bool Stopped() const { return stray_ != 0; }
  uint8_t StrayByte() const { return stray_; }

 private:
  // At a stray byte the cursor moves to a NUL of its own, so that every
  // later read sees the end of the text.
  void Stop(unsigned c, uint8_t byte) {
    if (c == pe_detail::kStray) {
      stray_ = byte;
      p_ = &pe_detail::kNul;
    }
  }

  const uint8_t* p_;
  const uint8_t* classes_ = pe_detail::kByteClasses.six;
  unsigned width_ = 6;
  uint8_t stray_ = 0;
};

}  // namespace tsl
