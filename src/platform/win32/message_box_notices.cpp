#include "platform/win32/message_box_notices.h"

#include "platform/windows_lean.h"

namespace tsl::win32 {

unsigned MessageBoxStyle(NoticeIcon icon, NoticeButtons buttons) {
  unsigned style = buttons == NoticeButtons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case NoticeIcon::Information: style |= MB_ICONINFORMATION; break;
    case NoticeIcon::Warning: style |= MB_ICONWARNING; break;
    case NoticeIcon::Error: style |= MB_ICONERROR; break;
    case NoticeIcon::Question: style |= MB_ICONQUESTION; break;
  }
  return style;
}

NoticeAnswer AnswerOf(int result) {
  switch (result) {
    case IDYES: return NoticeAnswer::Yes;
    case IDNO: return NoticeAnswer::No;
    default: return NoticeAnswer::Ok;
  }
}

NoticeAnswer MessageBoxNotices::Tell(const Notice& notice) {
  int result = MessageBoxA(static_cast<HWND>(owner_), NoticeText(notice).c_str(), NoticeCaption(notice).c_str(),
                           MessageBoxStyle(notice.icon, notice.buttons));
  // A box that could not be shown (0) answers a question with its default.
  if (result == 0) return notice.IsQuestion() ? NoticeAnswer::No : NoticeAnswer::Ok;
  return AnswerOf(result);
}

}  // namespace tsl::win32
