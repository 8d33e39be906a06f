// Where the program's dialogs open.
#pragma once
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace tsl::shell {

// Moves a dialog to the middle of the desktop.
void CentreOnDesktop(HWND dialog);

}  // namespace tsl::shell
