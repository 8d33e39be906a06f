// Every message box of the window goes through here, so that where the
// program's notices come from is decided in this one place.
#pragma once
#include <string>

#include "platform/notices.h"
#include "shell/metafile.h"

namespace tsl::shell {

// Notices from now on are boxes owned by `frame` (nullptr: by none).
void InstallWindowNotices(HWND frame);
void RemoveWindowNotices();
// The notices a conversion run tells its problems and questions through.
Notices& RunNotices();

// String `id` as a format for `arg` (or as it is), caption "Tessella",
// warning icon.
NoticeAnswer Notify(unsigned id, const char* arg);
// String `id` filled with `arg` and `systemText` (the last Win32 error's
// text when none is given).
NoticeAnswer NotifySE(unsigned id, const char* arg, const std::string& systemText);
NoticeAnswer NotifySE(unsigned id, const char* arg);
// A text of the program's own.
NoticeAnswer ShowText(const std::string& text, const char* caption, NoticeIcon icon,
                      NoticeButtons buttons = NoticeButtons::Ok);

// Commands whose work comes with a later version say so.
void NotAvailableYet();

}  // namespace tsl::shell
