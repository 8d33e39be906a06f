#include "common/gdi/emf_bytes.h"

#include "common/gdi/emf_types.h"

#include <cstdint>
#include <cstring>

namespace gdi {

namespace {
// 0x80..0x9F of code page 1252; the five unassigned bytes map to the C1
// control of the same value, as Windows' converter does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

ByteView BuildEmfHeader(RecordBuilder& rb, const EmfHeaderFields& h) {
  rb.Begin(EMR_HEADER);
  rb.RectL(h.bounds);
  rb.RectL(h.frame);
  rb.U32(kEmfSignature);
  rb.U32(0x10000);  // version
  rb.U32(h.nBytes);
  rb.U32(h.nRecords);
  rb.U16(h.nHandles);
  rb.U16(0);  // reserved
  rb.U32(static_cast<uint32_t>(h.description.size()));
  rb.U32(h.description.empty() ? 0 : static_cast<uint32_t>(kEmfHeaderFixed));
  rb.U32(0);  // nPalEntries
  rb.I32(h.device.cx);
  rb.I32(h.device.cy);
  rb.I32(h.millimeters.cx);
  rb.I32(h.millimeters.cy);
  rb.U32(0);  // cbPixelFormat
  rb.U32(0);  // offPixelFormat
  rb.U32(0);  // bOpenGL
  // szlMicrometers
  rb.I32(static_cast<int32_t>(static_cast<uint32_t>(int64_t{h.millimeters.cx} * 1000)));
  rb.I32(static_cast<int32_t>(static_cast<uint32_t>(int64_t{h.millimeters.cy} * 1000)));
  for (char16_t c : h.description) rb.U16(c);
  return rb.End();
}

void RecordBuilder::Expand(size_t k) {
  size_t room = buf_.size() < 256 ? 256 : buf_.size();
  while (room - n_ < k && room <= SIZE_MAX / 2) room *= 2;
  if (room - n_ < k) room = n_ + k;
  buf_.resize(room);
}

void RecordBuilder::Zeros(size_t k) {
  if (k) std::memset(Grow(k), 0, k);
}

void RecordBuilder::Bytes(const uint8_t* p, size_t k) {
  if (k) std::memcpy(Grow(k), p, k);
}

void RecordBuilder::F32(float v) {
  uint32_t bits;
  static_assert(sizeof bits == sizeof v, "32-bit float");
  std::memcpy(&bits, &v, sizeof bits);
  U32(bits);
}

float BitsToFloat(uint32_t bits) {
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

char16_t Cp1252ToUnicode(uint8_t b) {
  if (b >= 0x80 && b < 0xA0) return kCp1252High[b - 0x80];
  return static_cast<char16_t>(b);
}

std::u16string Cp1252ToUtf16(const char* text, size_t n) {
  std::u16string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) out += Cp1252ToUnicode(static_cast<uint8_t>(text[i]));
  return out;
}

std::string Utf16ToUtf8(const char16_t* text, size_t n) {
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace gdi
