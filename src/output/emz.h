// Compressed metafiles (EMZ).
#pragma once
#include <string>

namespace tsl {

class ConversionLog;

// Writes `emfPath` with the extension ".emz" as a gzip file and logs the
// outcome. False when it could not be written.
bool CreateEMZ(const std::string& emfPath, ConversionLog* log);

}  // namespace tsl
