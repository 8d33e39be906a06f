// The version check in the window: at start on a thread of its own, from
// the Help menu in the foreground; its boxes are owned by the frame.
#pragma once
#include <string>

#include "platform/windows_lean.h"

namespace tsl::win32 {

// The longest wait for the start-up check when the program ends.
constexpr DWORD kVersionCheckWaitMs = 2500;

// Starts the start-up check (not interactive) on its own thread, its boxes
// owned by `hwnd`. False when no thread could be started or one runs already.
bool LaunchVersionCheck(HWND hwnd);
// Waits at most 2,500 ms for the start-up check, then lets its thread go
// (a server that never answers cannot hold the program open).
void TerminateVersionCheck();

// One check with its boxes owned by `owner`; `interactive` is 1 for the
// menu command, which also confirms a current release.
void GetCurrentVersionInfo(HWND owner, int interactive);

// Opens `address` with the shell ("open", owned by the desktop window);
// false with the system's text for the error.
bool OpenWebPage(const std::string& address, std::string* systemText);

}  // namespace tsl::win32
