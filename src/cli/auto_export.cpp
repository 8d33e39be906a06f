#include "cli/auto_export.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "common/gdi/emf_reader.h"
#include "interpreter/statistics.h"
#include "output/raster_export.h"

namespace tsl {

std::string SizeText(uint64_t size) {
  const uint64_t kGiB = 1ull << 30;
  if (size >> 32) return std::to_string((size >> 32) * 4 + (size & 0xFFFFFFFFull) / kGiB) + " GB";
  if (size >= kGiB) return Gcvt(static_cast<double>(size) / kGiB, 4) + " GB";
  if (size > 1048575) return Gcvt(static_cast<double>(size) / 1048576, 4) + " MB";
  if (size > 1023) return Gcvt(static_cast<double>(size) / 1024, 4) + " KB";
  return std::to_string(size) + " Bytes";
}

bool ExportAfterConversion(const SettingsSet& settings, const OutputNames& names, const RunResult& result) {
  std::vector<uint8_t> file;
  const std::vector<uint8_t>* emf = &result.memoryMetafile;
  if (emf->empty() && !result.metafiles.empty()) {
    std::ifstream in(result.metafiles.back(), std::ios::binary);
    file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    emf = &file;
  }
  gdi::EmfReader reader;
  std::string error;
  if (emf->empty() || !reader.Parse(emf->data(), emf->size(), &error)) return false;
  const gdi::Rect& b = reader.Header().rclBounds;
  double bw = static_cast<double>(b.right) - b.left, bh = static_cast<double>(b.bottom) - b.top;

  ExportRequest req;
  req.metafile = emf->data();
  req.metafileSize = emf->size();
  req.width = static_cast<int32_t>(settings.ExportSize ? settings.ExportSize : 800);
  req.aspect = bh > 0 && bw > 0 ? static_cast<float>(bw / bh) : 1.0f;
  req.height = HeightForWidth(req.width, req.aspect);
  bool ok = true;
  if (settings.AutoExport & AutoExportPNG) {
    req.format = kExportPNG;
    ok = EmfToPngFile(req, settings, ReplaceExtension(names.bitmap, ".png")) && ok;
  }
  if (settings.AutoExport & AutoExportJPEG) {
    req.format = kExportJPEG;
    ok = EmfToJpgFile(req, settings, ReplaceExtension(names.bitmap, ".jpg")) && ok;
  }
  if (settings.AutoExport & AutoExportBMP) {
    req.format = kExportBMP;
    ok = EmfToDibFile(req, settings, names.bitmap) && ok;
  }
  return ok;
}

}  // namespace tsl
