// Export As: interactive through dialog 114 and the save dialogs, and the
// automatic export of a command-line conversion.
#include <cstring>

#include "common/names.h"
#include "output/raster_export.h"
#include "resources/string_ids.h"

#include "shell/commands.h"
#include "shell/conversion.h"
#include "shell/export_dlg.h"
#include "shell/file_dialog.h"
#include "shell/globals.h"
#include "shell/save_report.h"
#include "shell/view.h"
#include "shell/window_notices.h"

namespace tsl::shell {

namespace {

int AutoExport(ExportRequest& req) {
  ENHMETAHEADER h{};
  if (req.metafileSize >= sizeof h) std::memcpy(&h, req.metafile, sizeof h);
  double bw = static_cast<double>(h.rclBounds.right) - h.rclBounds.left;
  double bh = static_cast<double>(h.rclBounds.bottom) - h.rclBounds.top;
  req.aspect = bw > 0 && bh > 0 ? static_cast<float>(bw / bh) : 1.0f;
  req.height = HeightForWidth(req.width, req.aspect);
  const std::string& name = gvGlobals.exportName;
  int ok = 1;
  if (setOptions.AutoExport & AutoExportPNG) {
    req.format = kExportPNG;
    ok &= EmfToPngFile(WindowNotices(), req, setOptions, ReplaceExtension(name, ".png"));
  }
  if (setOptions.AutoExport & AutoExportJPEG) {
    req.format = kExportJPEG;
    ok &= EmfToJpgFile(WindowNotices(), req, setOptions, ReplaceExtension(name, ".jpg"));
  }
  if (setOptions.AutoExport & AutoExportBMP) {
    req.format = kExportBMP;
    ok &= EmfToDibFile(WindowNotices(), req, setOptions, name);
  }
  return ok;
}

int InteractiveExport(HWND frame, ExportRequest& req) {
  if (!ExportPropBox(frame, &req)) return 0;
  using Writer = int (*)(Notices&, const ExportRequest&, const SettingsSet&, const std::string&);
  unsigned title = IDS_EXPORT_BMP_TITLE;
  // An opened metafile has no plot: its own name is offered instead.
  std::string path = gvGlobals.exportName;
  if (path.empty() && !gvGlobals.metafile.empty()) path = ReplaceExtension(gvGlobals.metafile, ".bmp");
  Writer write = EmfToDibFile;
  if (req.format == kExportPNG) {
    title = IDS_EXPORT_PNG_TITLE;
    path = ReplaceExtension(path, ".png");
    write = EmfToPngFile;
  } else if (req.format == kExportJPEG) {
    title = IDS_EXPORT_JPEG_TITLE;
    path = ReplaceExtension(path, ".jpg");
    write = EmfToJpgFile;
  }
  if (!GetFileName(frame, title, &path)) return 0;
  if (!write(WindowNotices(), req, setOptions, path)) return 0;
  ReportSaveComplete(frame, path);
  return 1;
}

}  // namespace

int FileExportAs(HWND frame) {
  std::vector<uint8_t> emf = MetafileBytes(ViewMetafile(frame));
  ExportRequest req;
  req.metafile = emf.data();
  req.metafileSize = emf.size();
  req.width = static_cast<int32_t>(setOptions.ExportSize);
  if (setOptions.AutoExport != 0) {
    if (req.width == 0) req.width = 800;
    return AutoExport(req);
  }
  return InteractiveExport(frame, req);
}

LRESULT CmdExportAs(HWND frame, unsigned, LPARAM) {
  // The menu item is disabled without a drawing; its key may still come.
  if (!ViewMetafile(frame)) return 0;
  return FileExportAs(frame);
}

}  // namespace tsl::shell
