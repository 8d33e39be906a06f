#include "output/dib.h"

#include <cstring>
#include <vector>

#include "common/gdi/emf_bytes.h"

namespace tsl {

namespace {

// Scales a masked channel to 8 bits.
uint32_t Channel(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  uint32_t c = (v >> shift) & mask;
  return mask == 0xFF ? c : static_cast<uint32_t>((static_cast<uint64_t>(c) * 255 + mask / 2) / mask);
}
}  // namespace

SurfacePtr DecodeDib(const uint8_t* bmi, size_t cbBmi, const uint8_t* bits, size_t cbBits) {
  const gdi::ByteSpan info{bmi, bmi ? cbBmi : 0};
  if (!bits || !info.Has(0, 40)) return nullptr;
  uint32_t headerSize = info.U32(0);
  if (headerSize < 40 || headerSize > cbBmi) return nullptr;
  int32_t width = info.I32(4);
  int32_t height = info.I32(8);
  uint16_t bpp = info.U16(14);
  uint32_t compression = info.U32(16);
  uint32_t clrUsed = info.U32(32);
  bool topDown = height < 0;
  int64_t h = topDown ? -static_cast<int64_t>(height) : height;
  if (width <= 0 || h <= 0 || width > 32767 || h > 32767) return nullptr;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(h) > kMaxDibPixels) return nullptr;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
  if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32))) return nullptr;

  uint32_t rMask = 0x00FF0000, gMask = 0x0000FF00, bMask = 0x000000FF;
  size_t paletteOff = headerSize;
  if (bpp == 16) {
    rMask = 0x7C00;
    gMask = 0x03E0;
    bMask = 0x001F;
  }
  if (compression == 3) {
    // The masks follow a plain 40-byte header; larger headers hold them at
    // the same place.
    const size_t at = 40;
    if (!info.Has(at, 12)) return nullptr;
    rMask = info.U32(at);
    gMask = info.U32(at + 4);
    bMask = info.U32(at + 8);
    if (headerSize == 40) paletteOff += 12;
  }
  std::vector<uint32_t> palette;
  if (bpp <= 8) {
    uint32_t n = clrUsed ? clrUsed : (1u << bpp);
    if (n > 256) n = 256;
    palette.assign(1u << bpp, 0xFF000000);
    for (uint32_t i = 0; i < n; ++i) {
      size_t at = paletteOff + 4 * static_cast<size_t>(i);
      if (!info.Has(at, 4)) break;  // a short palette leaves black entries
      palette[i] = 0xFF000000u | (info.U32(at) & 0xFFFFFF);
    }
  }
  uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
  if (stride * static_cast<uint64_t>(h) > cbBits) return nullptr;

  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, static_cast<int>(h));
  SurfacePtr surface(s, cairo_surface_destroy);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(s);
  unsigned char* out = cairo_image_surface_get_data(s);
  int outStride = cairo_image_surface_get_stride(s);
  for (int64_t y = 0; y < h; ++y) {
    const uint8_t* row = bits + (topDown ? y : h - 1 - y) * stride;
    uint32_t* dst = reinterpret_cast<uint32_t*>(out + y * outStride);
    for (int32_t x = 0; x < width; ++x) {
      uint32_t px;
      switch (bpp) {
        case 1: px = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: px = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
        case 8: px = palette[row[x]]; break;
        case 16: {
          uint32_t v = gdi::GetU16(row + 2 * x);
          px = 0xFF000000u | (Channel(v, rMask) << 16) | (Channel(v, gMask) << 8) | Channel(v, bMask);
          break;
        }
        case 24: px = 0xFF000000u | (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
        default: {
          uint32_t v = gdi::GetU32(row + 4 * x);
          px = 0xFF000000u | (Channel(v, rMask) << 16) | (Channel(v, gMask) << 8) | Channel(v, bMask);
          break;
        }
      }
      dst[x] = px;
    }
  }
  cairo_surface_mark_dirty(s);
  return surface;
}

}  // namespace tsl
