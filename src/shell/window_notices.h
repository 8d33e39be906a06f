// Every message box of the window goes through here: the frame's notices
// are message boxes it owns, and conversions, settings and exports tell
// the user through them.
#pragma once
#include <string>

#include "platform/notices.h"
#include "shell/metafile.h"

namespace tsl::shell {

// Notices from now on are boxes owned by `frame` (nullptr: by none).
void InstallWindowNotices(HWND frame);
void RemoveWindowNotices();
// The notices of the window, for the core's functions and runs.
Notices& WindowNotices();

// String `id` filled with `arg`, caption "Tessella", warning icon.
NoticeAnswer Notify(unsigned id, const std::string& arg);
// String `id` filled with `arg` and `systemText` (the last Win32 error's
// text when none is given).
NoticeAnswer NotifySE(unsigned id, const std::string& arg, const std::string& systemText);
NoticeAnswer NotifySE(unsigned id, const std::string& arg);
// A text of the program's own.
NoticeAnswer ShowText(const std::string& text, const std::string& caption, NoticeIcon icon);

}  // namespace tsl::shell
