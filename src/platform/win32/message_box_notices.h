// Notices shown as message boxes with the string table's texts, owned by a
// window of the application.
#pragma once
#include "platform/notices.h"

namespace tsl::win32 {

class MessageBoxNotices : public Notices {
 public:
  // `owner` is the HWND that owns the boxes; nullptr for none.
  explicit MessageBoxNotices(void* owner = nullptr) : owner_(owner) {}
  void SetOwner(void* owner) { owner_ = owner; }

  NoticeAnswer Tell(const Notice& notice) override;

 private:
  void* owner_;
};

// The MessageBoxA style for an icon and a set of buttons, and the answer a
// MessageBoxA result means; apart so that they can be checked without a box.
unsigned MessageBoxStyle(NoticeIcon icon, NoticeButtons buttons);
NoticeAnswer AnswerOf(int result);

}  // namespace tsl::win32
