#include "platform/win32/message_box_notices.h"
#include "platform/win32/system_text.h"
#include "resources/string_ids.h"

#include "shell/window_notices.h"

namespace tsl::shell {

namespace {
win32::MessageBoxNotices gBoxes;
}

void InstallWindowNotices(HWND frame) { gBoxes.SetOwner(frame); }

void RemoveWindowNotices() { gBoxes.SetOwner(nullptr); }

Notices& WindowNotices() { return gBoxes; }

NoticeAnswer Notify(unsigned id, const std::string& arg) { return gBoxes.Tell(MakeNotice(id, {arg})); }

NoticeAnswer NotifySE(unsigned id, const std::string& arg, const std::string& systemText) {
  return gBoxes.Tell(MakeSystemNotice(id, arg, systemText));
}

NoticeAnswer NotifySE(unsigned id, const std::string& arg) { return NotifySE(id, arg, win32::LastErrorText()); }

NoticeAnswer ShowText(const std::string& text, const std::string& caption, NoticeIcon icon) {
  Notice n;
  n.reason = text;
  n.caption = caption;
  n.icon = icon;
  return gBoxes.Tell(n);
}

void NotAvailableYet() { gBoxes.Tell(MakeNotice(IDS_NOT_AVAILABLE_YET, {}, NoticeIcon::Information)); }

}  // namespace tsl::shell
