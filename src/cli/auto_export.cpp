#include "cli/auto_export.h"

#include <vector>

#include "cli/export_command.h"
#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "interpreter/statistics.h"
#include "output/raster_export.h"

namespace tsl {

namespace {
struct Wanted {
  int32_t format;
  std::string path;
  uint32_t width;
};

// The run's metafile: the one in memory, or the last page's file read into
// *file, which the run has replaced by its EMZ when it compressed it.
const std::vector<uint8_t>* RunMetafile(const SettingsSet& settings, const RunResult& result,
                                        std::vector<uint8_t>* file, std::string* error) {
  if (!result.memoryMetafile.empty()) return &result.memoryMetafile;
  if (result.metafiles.empty()) {
    *error = "no metafile was written";
    return nullptr;
  }
  const std::string& page = result.metafiles.back();
  if (LoadMetafileBytes(page, file, error)) return file;
  if (settings.Has(AutoEMZ) && LoadMetafileBytes(ReplaceExtension(page, ".emz"), file, error)) return file;
  return nullptr;
}
}  // namespace

std::string SizeText(uint64_t size) {
  const uint64_t kGiB = 1ull << 30;
  if (size >> 32) return std::to_string((size >> 32) * 4 + (size & 0xFFFFFFFFull) / kGiB) + " GB";
  if (size >= kGiB) return Gcvt(static_cast<double>(size) / kGiB, 4) + " GB";
  if (size > 1048575) return Gcvt(static_cast<double>(size) / 1048576, 4) + " MB";
  if (size > 1023) return Gcvt(static_cast<double>(size) / 1024, 4) + " KB";
  return std::to_string(size) + " Bytes";
}

bool ExportAfterConversion(const CliOptions& options, const SettingsSet& settings, const OutputNames& names,
                           const RunResult& result) {
  std::vector<Wanted> wanted;
  const uint32_t* width = options.exportWidth;
  if (settings.AutoExport & AutoExportPNG)
    wanted.push_back({kExportPNG, ReplaceExtension(names.bitmap, ".png"), width[kExportPNG]});
  if (settings.AutoExport & AutoExportJPEG)
    wanted.push_back({kExportJPEG, ReplaceExtension(names.bitmap, ".jpg"), width[kExportJPEG]});
  if (settings.AutoExport & AutoExportBMP) wanted.push_back({kExportBMP, names.bitmap, width[kExportBMP]});
  if (wanted.empty()) return true;

  std::vector<uint8_t> file;
  std::string error;
  gdi::EmfReader reader;
  const std::vector<uint8_t>* emf = RunMetafile(settings, result, &file, &error);
  if (!emf || !reader.Parse(emf->data(), emf->size(), &error)) {
    // Each copy asked for is missing; say so for each, as its writer would.
    for (const Wanted& w : wanted) NotifyUserSE(w.format == kExportBMP ? 40048 : 40087, w.path.c_str(), error);
    return false;
  }
  const gdi::Rect& b = reader.Header().rclBounds;
  double bw = static_cast<double>(b.right) - b.left, bh = static_cast<double>(b.bottom) - b.top;

  ExportRequest req;
  req.metafile = emf->data();
  req.metafileSize = emf->size();
  req.aspect = bh > 0 && bw > 0 ? static_cast<float>(bw / bh) : 1.0f;
  bool ok = true;
  for (const Wanted& w : wanted) {
    req.format = w.format;
    req.width = static_cast<int32_t>(w.width ? w.width : 800);
    req.height = HeightForWidth(req.width, req.aspect);
    int written = w.format == kExportPNG    ? EmfToPngFile(req, settings, w.path)
                  : w.format == kExportJPEG ? EmfToJpgFile(req, settings, w.path)
                                            : EmfToDibFile(req, settings, w.path);
    ok = written && ok;
  }
  return ok;
}

}  // namespace tsl
