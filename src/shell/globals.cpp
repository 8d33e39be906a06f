#include "settings/settings_sets.h"

#include "shell/globals.h"

namespace tsl::shell {

Globals gvGlobals;
SettingsSet setOptions = DefaultSettings();
HWND hwndFrame = nullptr;
bool flagAutoProcessing = false;

}  // namespace tsl::shell
