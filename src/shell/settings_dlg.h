// The Options dialog ("SETTINGS") with its Save As box: the settings sets,
// edited, saved, deleted and applied.
#pragma once
#include "settings/settings_set.h"
#include "shell/metafile.h"
#include "shell/settings_form.h"

namespace tsl::shell {

// Shows the dialog on `set` (the active set); true on OK.
bool SettingsBox(HWND owner, SettingsSet* set);
INT_PTR CALLBACK SettingsBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// Pens 1..16 and IgnoreLT of the open Options dialog.
PenScratch& PenScratchArea();

}  // namespace tsl::shell
