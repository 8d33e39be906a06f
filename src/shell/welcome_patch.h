// Replacing a text in a metafile held in memory: the welcome picture carries
// a placeholder that becomes the version.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tsl::shell {

// The placeholder of the welcome picture and the text put in its place.
extern const char kVersionPlaceholder[];  // "#VERSION"
constexpr size_t kVersionFieldWidth = 32;
std::string VersionText();                // "Version 5.4.1110"

// The field of `width` characters holding `text`: at its right end for
// alignment 'R', centred for 'C', else at its left; cut at `width`.
std::string PatchField(const std::string& text, size_t width, char alignment);

// Finds the first occurrence of `placeholder` in UTF-16 (from the ANSI code
// page) in the `size` bytes at `bytes` and writes the UTF-16 field over it.
// False when the placeholder is not there or the field would not fit in
// what follows the match; nothing is changed then.
bool PatchEnhMetafile(uint8_t* bytes, size_t size, const char* placeholder, size_t width,
                      const std::string& text, char alignment);

}  // namespace tsl::shell
