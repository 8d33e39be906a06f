#include "output/raster_export.h"

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "common/atomic_file.h"
#include "output/emf_renderer.h"

namespace tsl {

namespace {
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

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

bool Fail(unsigned id, const std::string& path, const std::string& reason) {
  NotifyUserSE(id, path.c_str(), reason);
  return false;
}
}  // namespace

std::vector<uint8_t> MemoryDib::BitmapInfo() const {
  std::vector<uint8_t> info(40 + 256 * 4, 0);
  Put32(info, 0, 40);
  Put32(info, 4, static_cast<uint32_t>(width));
  Put32(info, 8, static_cast<uint32_t>(height));
  info[12] = 1;  // planes
  info[14] = 8;  // bits per pixel
  Put32(info, 16, 0);  // BI_RGB
  Put32(info, 20, SizeImage());
  Put32(info, 24, static_cast<uint32_t>(pelsPerMeter));
  Put32(info, 28, static_cast<uint32_t>(pelsPerMeter));
  Put32(info, 32, 256);
  Put32(info, 36, 16);
  std::memcpy(&info[40], palette, sizeof palette);
  return info;
}

void MakeExportPalette(const SettingsSet& options, uint8_t palette[256][4]) {
  palette[0][0] = palette[0][1] = palette[0][2] = 0xFF;
  palette[0][3] = 0;
  for (int i = 1; i < 256; ++i) {
    gdi::COLORREF c = options.PenColor[i];
    palette[i][0] = static_cast<uint8_t>(gdi::GetBValue(c));
    palette[i][1] = static_cast<uint8_t>(gdi::GetGValue(c));
    palette[i][2] = static_cast<uint8_t>(gdi::GetRValue(c));
    palette[i][3] = 0;
  }
}

bool EmfToMemoryDIB(const ExportRequest& req, const SettingsSet& options, MemoryDib* dib, std::string* error) {
  if (req.width <= 0 || req.height <= 0) {
    *error = Format("The picture size %d x %d is empty.", req.width, req.height);
    return false;
  }
  if (req.width > kMaxExportSide || req.height > kMaxExportSide ||
      static_cast<uint64_t>(req.width) * static_cast<uint64_t>(req.height) > kMaxExportPixels) {
    *error = Format("The picture size %d x %d is too large (at most %d pixels a side and %llu pixels).",
                    req.width, req.height, kMaxExportSide, static_cast<unsigned long long>(kMaxExportPixels));
    return false;
  }
  gdi::EmfReader reader;
  std::string why;
  if (!req.metafile || !reader.Parse(req.metafile, req.metafileSize, &why)) {
    *error = "The metafile cannot be read: " + (why.empty() ? std::string("no data") : why);
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
    PlayEnhMetaFile(cr.get(), reader, DestRect{0, 0, static_cast<double>(req.width), static_cast<double>(req.height)},
                    ro);
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

int EmfToDibFile(const ExportRequest& req, const SettingsSet& options, const std::string& path) {
  MemoryDib dib;
  std::string error;
  if (!EmfToMemoryDIB(req, options, &dib, &error)) return Fail(40048, path, error);
  AtomicFile file;
  if (!file.Open(path)) return Fail(40048, path, GetSysErr());
  if (!WriteDib(dib, file.Stream()) || !file.Commit()) return Fail(40048, path, GetSysErr());
  return 1;
}

int EmfToPngFile(const ExportRequest& req, const SettingsSet& options, const std::string& path) {
  MemoryDib dib;
  std::string error;
  if (!EmfToMemoryDIB(req, options, &dib, &error)) return Fail(40087, path, error);
  AtomicFile file;
  if (!file.Open(path)) return Fail(40087, path, GetSysErr());
  if (!WritePng(dib, file.Stream(), path, &error)) {
    file.Discard();
    return Fail(40087, path, error.empty() ? GetSysErr() : error);
  }
  if (!file.Commit()) return Fail(40087, path, GetSysErr());
  return 1;
}

int EmfToJpgFile(const ExportRequest& req, const SettingsSet& options, const std::string& path) {
  MemoryDib dib;
  std::string error;
  if (!EmfToMemoryDIB(req, options, &dib, &error)) return Fail(40087, path, error);
  AtomicFile file;
  if (!file.Open(path)) return Fail(40087, path, GetSysErr());
  if (!WriteJpeg(dib, file.Stream(), &error)) {
    file.Discard();
    return Fail(40087, path, error.empty() ? GetSysErr() : error);
  }
  if (!file.Commit()) return Fail(40087, path, GetSysErr());
  return 1;
}

int32_t HeightForWidth(int32_t width, float aspect) {
  if (!(aspect > 0) || !std::isfinite(aspect)) return width;
  double h = std::trunc(width / static_cast<double>(aspect));
  return h > kMaxExportSide * 4.0 ? kMaxExportSide * 4 : static_cast<int32_t>(h);
}

float MetafileAspect(const uint8_t* emf, size_t size) {
  gdi::EmfReader reader;
  std::string why;
  if (!emf || !reader.Parse(emf, size, &why)) return 0;
  const gdi::Rect& f = reader.Header().rclFrame;
  double w = static_cast<double>(f.right) - f.left, h = static_cast<double>(f.bottom) - f.top;
  return h != 0 ? static_cast<float>(w / h) : 0;
}

}  // namespace tsl
