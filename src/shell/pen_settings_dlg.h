// Pen Settings: the colours and widths of pens 1..16 and IgnoreLT, edited in
// the Options dialog's pen scratch area.
#pragma once
#include "shell/metafile.h"

namespace tsl::shell {

// True on OK, when the scratch area took the dialog's values.
bool PenSettingsBox(HWND owner);
INT_PTR CALLBACK PenSettingsBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace tsl::shell
