#include "common/notify.h"
#include "common/strings.h"
#include "platform/win32/message_box_notices.h"
#include "platform/win32/system_text.h"

#include "shell/window_notices.h"

#undef LoadString  // tsl::LoadString, not the Win32 macro

namespace tsl::shell {

namespace {
win32::MessageBoxNotices gBoxes;
}

void InstallWindowNotices(HWND frame) {
  gBoxes.SetOwner(frame);
  SetNotices(&gBoxes);
}

void RemoveWindowNotices() {
  gBoxes.SetOwner(nullptr);
  SetNotices(nullptr);
}

Notices& RunNotices() { return CurrentNotices(); }

NoticeAnswer Notify(unsigned id, const char* arg) { return NotifyUser(id, arg); }

NoticeAnswer NotifySE(unsigned id, const char* arg, const std::string& systemText) {
  return NotifyUserSE(id, arg, systemText);
}

NoticeAnswer NotifySE(unsigned id, const char* arg) { return NotifyUserSE(id, arg, win32::LastErrorText()); }

NoticeAnswer ShowText(const std::string& text, const char* caption, NoticeIcon icon, NoticeButtons buttons) {
  return CurrentNotices().Show(text, caption ? caption : "", icon, buttons);
}

void NotAvailableYet() {
  std::string text;
  if (!LoadString(41800, &text)) text = "This command is not available yet.";
  ShowText(text, "Tessella", NoticeIcon::Information);
}

}  // namespace tsl::shell
