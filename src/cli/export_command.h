// `tessella export`: an existing metafile (EMF, EMZ, WMF, placeable WMF) as
// PNG, BMP, JPEG, SVG or PDF.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_set.h"

namespace tsl {

// argv[0] is "export". Exit status 0 when written, 1 on failure, 2 for a
// usage error. Raster palettes come from `options` (pens 1..255).
int RunExportCommand(int argc, char** argv);
int RunExportCommand(int argc, char** argv, const SettingsSet& options);

// Reads an EMF, EMZ or WMF file (recognised by content) as EMF bytes. False
// with a reason in *error.
bool LoadMetafileBytes(const std::string& path, std::vector<uint8_t>* emf, std::string* error);

}  // namespace tsl
