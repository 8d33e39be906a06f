#include "bmp24.h"

#include <cstdio>
#include <memory>

namespace tsl::pixels {

namespace {
using File = std::unique_ptr<FILE, int (*)(FILE*)>;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
}  // namespace

std::vector<uint8_t> BmpHeader(int width, int height) {
  uint32_t image = static_cast<uint32_t>(BmpStride(width) * static_cast<size_t>(height));
  std::vector<uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + image);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));  // bottom-up
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);  // BI_RGB
  Put32(b, image);
  Put32(b, 3780);  // 96 dpi
  Put32(b, 3780);
  Put32(b, 0);
  Put32(b, 0);
  return b;
}

bool WriteBmp(const std::string& path, const Image& image, std::string* error) {
  std::vector<uint8_t> bytes = BmpHeader(image.width, image.height);
  size_t stride = BmpStride(image.width);
  for (int y = image.height - 1; y >= 0; --y) {
    size_t start = bytes.size();
    for (int x = 0; x < image.width; ++x) {
      uint32_t c = image.At(x, y);
      bytes.push_back(c & 0xFF);
      bytes.push_back((c >> 8) & 0xFF);
      bytes.push_back((c >> 16) & 0xFF);
    }
    bytes.resize(start + stride, 0);
  }
  File f(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    *error = "cannot write '" + path + "'";
    return false;
  }
  return true;
}

bool ReadBmp(const std::string& path, Image* image, std::string* error) {
  File f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f) {
    *error = "cannot open '" + path + "'";
    return false;
  }
  std::vector<uint8_t> b;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) b.insert(b.end(), chunk, chunk + n);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Get32(&b[14]) < 40) {
    *error = "'" + path + "' is no BMP file";
    return false;
  }
  uint32_t offBits = Get32(&b[10]);
  int32_t w = static_cast<int32_t>(Get32(&b[18])), h = static_cast<int32_t>(Get32(&b[22]));
  uint16_t bits = Get16(&b[28]);
  uint32_t compression = Get32(&b[30]);
  bool topDown = h < 0;
  if (topDown) h = -h;
  if (w <= 0 || h <= 0 || w > 32767 || h > 32767 || (bits != 8 && bits != 24 && bits != 32) || compression != 0) {
    *error = "'" + path + "' is not an uncompressed 8-, 24- or 32-bit BMP";
    return false;
  }
  // 8 bits: palette indices into the colour table after the header.
  uint32_t colours = bits == 8 ? (Get32(&b[46]) ? Get32(&b[46]) : 256) : 0;
  size_t table = 14 + static_cast<size_t>(Get32(&b[14]));
  if (colours > 256 || table + 4 * static_cast<size_t>(colours) > b.size()) {
    *error = "'" + path + "' has a damaged colour table";
    return false;
  }
  size_t bpp = bits / 8, stride = (static_cast<size_t>(w) * bpp + 3) & ~size_t{3};
  if (offBits > b.size() || (b.size() - offBits) / stride < static_cast<size_t>(h)) {
    *error = "'" + path + "' is cut short";
    return false;
  }
  *image = Image(w, h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = &b[offBits + stride * static_cast<size_t>(topDown ? y : h - 1 - y)];
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = row + bpp * x;
      if (bits == 8) p = *p < colours ? &b[table + 4 * static_cast<size_t>(*p)] : nullptr;
      image->At(x, y) = p ? static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0] : 0;
    }
  }
  return true;
}

}  // namespace tsl::pixels
