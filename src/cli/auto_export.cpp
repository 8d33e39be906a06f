#include "cli/auto_export.h"

#include <vector>

#include "cli/export_command.h"
#include "cli/interrupts.h"
#include "common/gdi/emf_reader.h"
#include "common/notify.h"
#include "interpreter/statistics.h"
#include "output/metafile_load_stream.h"
#include "output/raster_export.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {

// The page's metafile: the one in memory, or the page's file (which the run
// has replaced by its EMZ when it compressed it), drawn as it is read.
bool OpenPage(const SettingsSet& settings, const RunResult& result, size_t page, MetafileStream* stream,
              ExportRequest* req, std::string* error) {
  if (!result.memoryMetafile.empty()) {
    req->metafile = result.memoryMetafile.data();
    req->metafileSize = result.memoryMetafile.size();
    return stream->OpenBytes(req->metafile, req->metafileSize, error);
  }
  std::string path = result.metafiles[page];
  std::string why;
  bool opened = stream->Open(path, &why);
  if (!opened && settings.Has(AutoEMZ)) {
    path = ReplaceExtension(path, ".emz");
    opened = stream->Open(path, &why);
  }
  if (!opened) {
    *error = "cannot open '" + path + "': " + why;
    return false;
  }
  req->metafilePath = path;
  return true;
}

const int32_t kOrder[kExportFormats] = {kExportPNG, kExportJPEG, kExportBMP};

}  // namespace

bool ExportPages(Notices& notices, const Job& job, const RunResult& result, std::vector<std::string>* written) {
  const SettingsSet& settings = job.settings;
  size_t pages = result.memoryMetafile.empty() ? result.metafiles.size() : 1;
  bool ok = true;
  for (size_t page = 0; page < pages && !Interrupted(); ++page) {
    std::string error;
    MetafileStream stream;
    ExportRequest req;
    bool readable = OpenPage(settings, result, page, &stream, &req, &error);
    req.cancel = InterruptFlag();
    const gdi::Rect b = readable ? stream.Header().rclBounds : gdi::Rect{};
    double bw = static_cast<double>(b.right) - b.left, bh = static_cast<double>(b.bottom) - b.top;
    req.aspect = bh > 0 && bw > 0 ? static_cast<float>(bw / bh) : 1.0f;
    for (int32_t format : kOrder) {
      if (job.exports[format].empty() || Interrupted()) continue;
      std::string path = page ? PageName(job.exports[format], static_cast<int>(page) + 1) : job.exports[format];
      if (!readable) {
        // Each copy asked for is missing; say so for each, as its writer would.
        notices.Tell(MakeSystemNotice(format == kExportBMP ? IDS_WRITE_BITMAP_FAILED : IDS_EXPORT_FAILED, path, error));
        ok = false;
        continue;
      }
      req.format = format;
      req.width = static_cast<int32_t>(job.options.exportWidth[format]);
      req.height = HeightForWidth(req.width, req.aspect);
      int done = format == kExportPNG    ? EmfToPngFile(notices, req, settings, path)
                 : format == kExportJPEG ? EmfToJpgFile(notices, req, settings, path)
                                         : EmfToDibFile(notices, req, settings, path);
      std::string name = job.NameOf(job.exports[format]);
      if (done) written->push_back(page ? PageName(name, static_cast<int>(page) + 1) : name);
      ok = done && ok;
    }
  }
  return ok && !Interrupted();
}

}  // namespace tsl
