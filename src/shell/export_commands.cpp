// Export As: the automatic export of a command-line conversion. The
// interactive dialog comes with a later version.
#include <cstring>

#include "common/names.h"
#include "output/raster_export.h"

#include "shell/conversion.h"
#include "shell/globals.h"
#include "shell/view.h"
#include "shell/window_notices.h"

namespace tsl::shell {

int FileExportAs(HWND frame) {
  if (setOptions.AutoExport == 0) {
    NotAvailableYet();
    return 0;
  }
  std::vector<uint8_t> emf = MetafileBytes(ViewMetafile(frame));
  ENHMETAHEADER h{};
  if (emf.size() >= sizeof h) std::memcpy(&h, emf.data(), sizeof h);
  double bw = static_cast<double>(h.rclBounds.right) - h.rclBounds.left;
  double bh = static_cast<double>(h.rclBounds.bottom) - h.rclBounds.top;

  ExportRequest req;
  req.metafile = emf.data();
  req.metafileSize = emf.size();
  req.width = static_cast<int32_t>(setOptions.ExportSize ? setOptions.ExportSize : 800);
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

}  // namespace tsl::shell
