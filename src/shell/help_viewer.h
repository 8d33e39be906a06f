// The help file in the HTML Help viewer.
#pragma once
#include "shell/metafile.h"

namespace tsl::shell {

// Opens the page of Help command `id` (Contents, Search: the table of
// contents, or a dialog's context). Nothing without a help file or a
// viewer.
HWND ShowHelp(HWND frame, unsigned id);
// Closes the viewer's windows and lets it go (the frame's end).
void CloseHelp();

}  // namespace tsl::shell
