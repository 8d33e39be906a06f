// Where the program's dialogs open.
#pragma once
#include "platform/windows_lean.h"

namespace tsl::shell {

// Moves a dialog to the middle of the desktop.
void CentreOnDesktop(HWND dialog);

}  // namespace tsl::shell
