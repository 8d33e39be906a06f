// EmfToMemoryDIB through the cairo renderer (the Windows program plays
// the metafile through GDI instead).
#include <cairo.h>

#include <memory>
#include <unordered_map>

#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "output/emf_renderer.h"
#include "output/metafile_load_stream.h"
#include "output/raster_export.h"

namespace tsl {

namespace {
// Maps rendered colours to palette indices: exact entries first, else the
// nearest entry.
class Quantizer {
 public:
  explicit Quantizer(const uint8_t (&palette)[256][4]) : palette_(palette) {}
  uint8_t Index(uint32_t rgb) {
    auto it = cache_.find(rgb);
    if (it != cache_.end()) return it->second;
    int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < 256; ++i) {
      long dr = r - palette_[i][2], dg = g - palette_[i][1], db = b - palette_[i][0];
      long d = dr * dr + dg * dg + db * db;
      if (bestDist < 0 || d < bestDist) {
        bestDist = d;
        best = i;
        if (d == 0) break;
      }
    }
    if (cache_.size() < 65536) cache_[rgb] = static_cast<uint8_t>(best);
    return static_cast<uint8_t>(best);
  }

 private:
  const uint8_t (&palette_)[256][4];
  std::unordered_map<uint32_t, uint8_t> cache_;
};

}  // namespace

bool EmfToMemoryDIB(const ExportRequest& req, const SettingsSet& options, MemoryDib* dib, std::string* error) {
  if (!ExportSizeFits(req, error)) return false;
  MetafileStream stream;
  std::string why;
  bool open = !req.metafilePath.empty() ? stream.Open(req.metafilePath, &why)
              : req.metafile            ? stream.OpenBytes(req.metafile, req.metafileSize, &why)
                                        : (why = "no data", false);
  if (!open) {
    *error = "The metafile cannot be read: " + why;
    return false;
  }
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, req.width, req.height), cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    *error = "Not enough memory for the picture.";
    return false;
  }
  {
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> cr(cairo_create(surface.get()), cairo_destroy);
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    RenderOptions ro;
    ro.antialias = false;
    ro.cancel = req.cancel;
    ro.timeLimit = req.timeLimit;
    PlayResult played = PlayEnhMetaFile(
        cr.get(), stream.Reader(), DestRect{0, 0, static_cast<double>(req.width), static_cast<double>(req.height)}, ro,
        &why);
    if (played == PlayResult::kDamaged) {
      *error = "The metafile cannot be read: " + why;
      return false;
    }
    if (played == PlayResult::kTimedOut) {
      *error = Format("Drawing the picture took longer than %.0f seconds; it was given up.", req.timeLimit);
      return false;
    }
  }
  cairo_surface_flush(surface.get());

  dib->width = req.width;
  dib->height = req.height;
  dib->stride = (static_cast<uint32_t>(req.width) + 3u) & ~3u;
  dib->pelsPerMeter = options.Has(HighResolution) ? 40000 : 4000;
  MakeExportPalette(options, dib->palette);
  dib->bits.assign(static_cast<size_t>(dib->stride) * static_cast<size_t>(req.height), 0);
  Quantizer q(dib->palette);
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  int srcStride = cairo_image_surface_get_stride(surface.get());
  for (int32_t y = 0; y < req.height; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * srcStride);
    uint8_t* dst = &dib->bits[static_cast<size_t>(req.height - 1 - y) * dib->stride];
    uint32_t last = 0xFFFFFFFF;
    uint8_t lastIndex = 0;
    for (int32_t x = 0; x < req.width; ++x) {
      uint32_t rgb = src[x] & 0xFFFFFF;
      if (rgb != last) {
        last = rgb;
        lastIndex = q.Index(rgb);
      }
      dst[x] = lastIndex;
    }
  }
  return true;
}

}  // namespace tsl
