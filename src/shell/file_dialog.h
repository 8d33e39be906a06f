// The common open and save dialogs of the file commands.
#pragma once
#include <string>

#include "shell/metafile.h"

namespace tsl::shell {

// Runs the dialog titled by string `id`, with the filter of string id + 1
// and the default extension of string id + 2; `path` is the name it opens
// with and the name chosen. Saving dialogs prompt before overwriting, the
// others want an existing file. False when the user cancelled.
bool GetFileName(HWND owner, unsigned id, std::string* path);

}  // namespace tsl::shell
