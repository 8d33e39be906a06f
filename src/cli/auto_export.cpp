#include "cli/auto_export.h"

#include <vector>

#include "cli/export_command.h"
#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "interpreter/statistics.h"
#include "output/raster_export.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {
struct Wanted {
  int32_t format;
  std::string path;
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

bool ExportAfterConversion(Notices& notices, const SettingsSet& settings, const OutputNames& names,
                           const RunResult& result) {
  std::vector<Wanted> wanted;
  if (settings.AutoExport & AutoExportPNG) wanted.push_back({kExportPNG, ReplaceExtension(names.bitmap, ".png")});
  if (settings.AutoExport & AutoExportJPEG) wanted.push_back({kExportJPEG, ReplaceExtension(names.bitmap, ".jpg")});
  if (settings.AutoExport & AutoExportBMP) wanted.push_back({kExportBMP, names.bitmap});
  if (wanted.empty()) return true;

  std::vector<uint8_t> file;
  std::string error;
  gdi::EmfReader reader;
  const std::vector<uint8_t>* emf = RunMetafile(settings, result, &file, &error);
  if (!emf || !reader.Parse(emf->data(), emf->size(), &error)) {
    // Each copy asked for is missing; say so for each, as its writer would.
    for (const Wanted& w : wanted)
      notices.Tell(MakeSystemNotice(w.format == kExportBMP ? IDS_WRITE_BITMAP_FAILED : IDS_EXPORT_FAILED, w.path, error));
    return false;
  }
  const gdi::Rect& b = reader.Header().rclBounds;
  double bw = static_cast<double>(b.right) - b.left, bh = static_cast<double>(b.bottom) - b.top;

  ExportRequest req;
  req.metafile = emf->data();
  req.metafileSize = emf->size();
  req.width = static_cast<int32_t>(settings.ExportSize ? settings.ExportSize : 800);
  req.aspect = bh > 0 && bw > 0 ? static_cast<float>(bw / bh) : 1.0f;
  req.height = HeightForWidth(req.width, req.aspect);
  bool ok = true;
  for (const Wanted& w : wanted) {
    req.format = w.format;
    int written = w.format == kExportPNG    ? EmfToPngFile(notices, req, settings, w.path)
                  : w.format == kExportJPEG ? EmfToJpgFile(notices, req, settings, w.path)
                                            : EmfToDibFile(notices, req, settings, w.path);
    ok = written && ok;
  }
  return ok;
}

}  // namespace tsl
