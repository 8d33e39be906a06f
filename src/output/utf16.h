// UTF-16LE text from metafile records to UTF-8 for cairo.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tsl {

// Converts n UTF-16LE units at p; unpaired surrogates become U+FFFD, and a
// NUL ends the text when stopAtNul is set.
inline std::string Utf16ToUtf8(const uint8_t* p, size_t n, bool stopAtNul) {
  std::string out;
  auto put = [&out](uint32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  };
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = p[2 * i] | (p[2 * i + 1] << 8);
    if (c == 0 && stopAtNul) break;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n) {
      uint32_t d = p[2 * i + 2] | (p[2 * i + 3] << 8);
      if (d >= 0xDC00 && d < 0xE000) {
        put(0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
        ++i;
        continue;
      }
    }
    if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
    put(c);
  }
  return out;
}

}  // namespace tsl
