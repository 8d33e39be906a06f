// Reads the encoded numbers of a Polyline Encoded text: base-64 digits
// (bytes 63-126, last digit 191-254) or, after the 7-bit flag, base-32 digits
// (63-94, last digit 95-126), least significant first, with the sign in the
// lowest bit. Reads only up to the text's NUL.
#pragma once
#include <cstdint>

namespace tsl {

class PeDecoder {
 public:
  explicit PeDecoder(const char* text) : p_(reinterpret_cast<const uint8_t*>(text)) {}

  // The byte at the cursor; 0 at the end of the text or after a stray byte.
  uint8_t Peek() const { return stopped_ ? 0 : *p_; }
  void Skip() {
    if (Peek()) ++p_;
  }
  bool AtEnd() const { return Peek() == 0; }
  // Whether the byte at the cursor starts a number (low seven bits 63 or more).
  bool StartsNumber() const { return (Peek() & 0x7F) >= 63; }
  void SetFiveBit() { fiveBit_ = true; }

  // Reads one number into *value. The end of the text ends a number. A byte
  // that is neither a digit nor a last digit of the current width is taken
  // as the end of the text: the decoder stops there. Returns false when no
  // digit was read.
  bool ReadNumber(int64_t* value) {
    uint64_t n = 0;
    unsigned shift = 0;
    bool any = false;
    const unsigned width = fiveBit_ ? 5 : 6;
    const unsigned lastBase = fiveBit_ ? 95 : 191;
    const unsigned lastEnd = fiveBit_ ? 126 : 254;
    const unsigned digitEnd = fiveBit_ ? 94 : 126;
    while (!stopped_) {
      unsigned b = *p_;
      if (b == 0) break;
      bool last;
      unsigned digit;
      if (b >= 63 && b <= digitEnd) {
        digit = b - 63;
        last = false;
      } else if (b >= lastBase && b <= lastEnd) {
        digit = b - lastBase;
        last = true;
      } else {
        stopped_ = true;
        stray_ = static_cast<uint8_t>(b);
        break;
      }
      ++p_;
      any = true;
      // Digits beyond 64 bits cannot be represented; they are dropped.
      if (shift < 64) {
        n |= static_cast<uint64_t>(digit) << shift;
        shift += width;
      }
      if (last) break;
    }
    uint64_t magnitude = n >> 1;
    *value = (n & 1) ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return any;
  }

  // Whether a stray byte stopped the decoder, and which.
  bool Stopped() const { return stopped_; }
  uint8_t StrayByte() const { return stray_; }

 private:
  const uint8_t* p_;
  bool fiveBit_ = false;
  bool stopped_ = false;
  uint8_t stray_ = 0;
};

}  // namespace tsl
