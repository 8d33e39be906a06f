// Preferences: where the outputs go, the text viewer, and which plot file
// types open in the program.
#pragma once
#include "shell/metafile.h"

namespace tsl::shell {

// Shows the dialog; on OK the preferences are taken and stored.
bool PreferencesBox(HWND owner);
INT_PTR CALLBACK PreferencesBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace tsl::shell
