#include "shell/welcome_patch.h"

#include <cstring>

#include "common/gdi/emf_bytes.h"
#include "settings/settings_sets.h"

namespace tsl::shell {

const char kVersionPlaceholder[] = "#VERSION";

std::string VersionText() { return std::string("Version ") + kCurrentVersion; }

std::string PatchField(const std::string& text, size_t width, char alignment) {
  std::string field(width, ' ');
  std::string t = text.substr(0, width);
  size_t at = alignment == 'R' ? width - t.size() : alignment == 'C' ? (width - t.size()) / 2 : 0;
  field.replace(at, t.size(), t);
  return field;
}

namespace {
std::string Utf16Bytes(const std::string& ansi) {
  std::u16string u = gdi::Cp1252ToUtf16(ansi.data(), ansi.size());
  std::string out;
  for (char16_t c : u) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}
}  // namespace

bool PatchEnhMetafile(uint8_t* bytes, size_t size, const char* placeholder, size_t width,
                      const std::string& text, char alignment) {
  if (!bytes || !placeholder || !*placeholder) return false;
  std::string needle = Utf16Bytes(placeholder);
  std::string field = Utf16Bytes(PatchField(text, width, alignment));
  if (size < needle.size()) return false;
  for (size_t at = 0; at + needle.size() <= size; ++at) {
    if (std::memcmp(bytes + at, needle.data(), needle.size()) != 0) continue;
    // A picture that reserves too little room after the placeholder keeps
    // it rather than have the bytes after the metafile overwritten.
    if (field.size() > size - at) return false;
    std::memcpy(bytes + at, field.data(), field.size());
    return true;
  }
  return false;
}

}  // namespace tsl::shell
