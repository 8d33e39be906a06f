// UTF-16LE text from metafile records to UTF-8 for cairo.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/gdi/emf_bytes.h"

namespace tsl {

// Converts n UTF-16LE units at p; unpaired surrogates become U+FFFD, and a
// NUL ends the text when stopAtNul is set.
inline std::string Utf16ToUtf8(const uint8_t* p, size_t n, bool stopAtNul) {
  std::u16string units;
  units.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    char16_t c = static_cast<char16_t>(gdi::GetU16(p + 2 * i));
    if (c == 0 && stopAtNul) break;
    units.push_back(c);
  }
  return gdi::Utf16ToUtf8(units.data(), units.size());
}

}  // namespace tsl
