// The raster copies a command line asks for after each conversion.
#pragma once
#include "common/names.h"
#include "interpreter/tessella.h"
#include "settings/settings_set.h"

namespace tsl {

// Writes the PNG, JPEG and BMP copies that `settings.AutoExport` asks for,
// in that order, `ExportSize` pixels wide and as high as the drawing's
// proportions give. False when any could not be written (the writer told
// the user).
bool ExportAfterConversion(Notices& notices, const SettingsSet& settings, const OutputNames& names,
                           const RunResult& result);

// "1023 Bytes", "1 KB", "1.5 MB": a file size as the save confirmation
// shows it.
std::string SizeText(uint64_t size);

}  // namespace tsl
