// Dialog 102, Open HP-GL Special: a plot file with rotation, mirroring and
// scale for one conversion.
#pragma once
#include <string>

#include "settings/settings_set.h"
#include "shell/metafile.h"

namespace tsl::shell {

// Shows the dialog with `path` in its file box; on OK the chosen file is in
// `path` and the choices in `set`. True when the user pressed OK.
bool OpenHPGLSpecial(HWND frame, std::string* path, SettingsSet* set);

INT_PTR CALLBACK OpenSpecialDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace tsl::shell
