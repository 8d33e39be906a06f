#include "output/raster_export.h"

#include <cmath>
#include <cstring>

#include "common/gdi/emf_bytes.h"
#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "common/atomic_file.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) { gdi::PutU32(&v[at], x); }

bool Cancelled(const ExportRequest& req) { return req.cancel && req.cancel->load(); }

bool Fail(Notices& notices, unsigned id, const std::string& path, const std::string& reason) {
  notices.Tell(MakeSystemNotice(id, path, reason));
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

int EmfToDibFile(Notices& notices, const ExportRequest& req, const SettingsSet& options, const std::string& path) {
  MemoryDib dib;
  std::string error;
  if (!EmfToMemoryDIB(req, options, &dib, &error)) return Fail(notices, IDS_WRITE_BITMAP_FAILED, path, error);
  if (Cancelled(req)) return 0;
  AtomicFile file;
  if (!file.Open(path)) return Fail(notices, IDS_WRITE_BITMAP_FAILED, path, GetSysErr());
  if (!WriteDib(dib, file.Stream()) || !file.Commit()) return Fail(notices, IDS_WRITE_BITMAP_FAILED, path, GetSysErr());
  return 1;
}

int EmfToPngFile(Notices& notices, const ExportRequest& req, const SettingsSet& options, const std::string& path) {
  MemoryDib dib;
  std::string error;
  if (!EmfToMemoryDIB(req, options, &dib, &error)) return Fail(notices, IDS_EXPORT_FAILED, path, error);
  if (Cancelled(req)) return 0;
  AtomicFile file;
  if (!file.Open(path)) return Fail(notices, IDS_EXPORT_FAILED, path, GetSysErr());
  if (!WritePng(dib, file.Stream(), path, &error)) {
    file.Discard();
    return Fail(notices, IDS_EXPORT_FAILED, path, error.empty() ? GetSysErr() : error);
  }
  if (!file.Commit()) return Fail(notices, IDS_EXPORT_FAILED, path, GetSysErr());
  return 1;
}

int EmfToJpgFile(Notices& notices, const ExportRequest& req, const SettingsSet& options, const std::string& path) {
  MemoryDib dib;
  std::string error;
  if (!EmfToMemoryDIB(req, options, &dib, &error)) return Fail(notices, IDS_EXPORT_FAILED, path, error);
  if (Cancelled(req)) return 0;
  AtomicFile file;
  if (!file.Open(path)) return Fail(notices, IDS_EXPORT_FAILED, path, GetSysErr());
  if (!WriteJpeg(dib, file.Stream(), &error)) {
    file.Discard();
    return Fail(notices, IDS_EXPORT_FAILED, path, error.empty() ? GetSysErr() : error);
  }
  if (!file.Commit()) return Fail(notices, IDS_EXPORT_FAILED, path, GetSysErr());
  return 1;
}

bool ExportSizeFits(const ExportRequest& req, std::string* error) {
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
  return true;
}

int32_t HeightForWidth(int32_t width, float aspect) {
  if (!(aspect > 0) || !std::isfinite(aspect)) return width;
  double h = std::trunc(width / static_cast<double>(aspect));
  return h > kMaxExportSide * 4.0 ? kMaxExportSide * 4 : static_cast<int32_t>(h);
}

float MetafileAspect(const uint8_t* emf, size_t size) {
  // The header alone: the records are read when the picture is drawn.
  if (!emf) return 0;
  gdi::MemorySource source(emf, size);
  gdi::EmfStreamReader reader(&source);
  std::string why;
  if (!reader.ReadHeader(&why)) return 0;
  return FrameAspect(reader.Header().rclFrame);
}

float FrameAspect(const gdi::Rect& f) {
  double w = static_cast<double>(f.right) - f.left, h = static_cast<double>(f.bottom) - f.top;
  return h != 0 ? static_cast<float>(w / h) : 0;
}

}  // namespace tsl
