// Device-independent bitmaps found in metafile records (images, pattern
// brushes), decoded into cairo images with every size checked first.
#pragma once
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tsl {

using SurfacePtr = std::shared_ptr<cairo_surface_t>;

// Largest image a record may carry, in pixels.
constexpr uint64_t kMaxDibPixels = 64ull * 1024 * 1024;

// Decodes BITMAPINFO `bmi` (cbBmi bytes) and the pixel rows `bits` (cbBits
// bytes): 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit
// fields. Returns an opaque ARGB32 image, or none for anything damaged,
// unsupported or too large.
SurfacePtr DecodeDib(const uint8_t* bmi, size_t cbBmi, const uint8_t* bits, size_t cbBits);

}  // namespace tsl
