// Dialog 114, Export As: the format and the picture's size in pixels, the
// height following the width (and back) while the ratio is kept.
#pragma once
#include "output/raster_export.h"
#include "shell/metafile.h"

namespace tsl::shell {

// Opens the dialog on `req` (its metafile, and a width of 0 for 800). On
// OK the width, height and format are written back and the result is true.
bool ExportPropBox(HWND owner, ExportRequest* req);

}  // namespace tsl::shell
