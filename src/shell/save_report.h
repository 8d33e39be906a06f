// The information box after a file was saved.
#pragma once
#include <string>

#include "shell/metafile.h"

namespace tsl::shell {

// Names the saved file with its size and folder; a missing file shows 0
// bytes.
void ReportSaveComplete(HWND owner, const std::string& path);

}  // namespace tsl::shell
