// 24-bit pictures and their BMP files, shared by the two halves of the pixel
// comparison: the Wine program that plays metafiles through GDI writes them,
// the Linux program that renders them with EmfRenderer reads them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tsl::pixels {

struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, row by row from the top

  Image() = default;
  Image(int w, int h, uint32_t fill = 0xFFFFFF)
      : width(w), height(h), rgb(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
  uint32_t& At(int x, int y) { return rgb[static_cast<size_t>(y) * width + x]; }
};

// Reads an uncompressed 8-bit (palette), 24- or 32-bit BMP (bottom-up or
// top-down). False with a reason for anything else.
bool ReadBmp(const std::string& path, Image* image, std::string* error);
// Writes a bottom-up 24-bit BMP.
bool WriteBmp(const std::string& path, const Image& image, std::string* error);

// The BMP bytes of a bottom-up 24-bit picture whose rows (bottom row first,
// each padded to 4 bytes) the caller fills: the Windows side hands GDI's DIB
// bits to it unchanged.
std::vector<uint8_t> BmpHeader(int width, int height);
inline size_t BmpStride(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

}  // namespace tsl::pixels
