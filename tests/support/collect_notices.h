// Notices collected instead of shown, while the object lives.
#pragma once
#include <string>
#include <vector>

#include "platform/notices.h"

namespace tsl::test {

class CollectNotices : public Notices {
 public:
  explicit CollectNotices(NoticeAnswer answer = NoticeAnswer::No) : answer_(answer) { SetNotices(this); }
  ~CollectNotices() override { SetNotices(nullptr); }

  NoticeAnswer Show(const std::string& text, const std::string& caption, NoticeIcon icon,
                    NoticeButtons buttons) override {
    texts.push_back(text);
    captions.push_back(caption);
    icons.push_back(icon);
    return buttons == NoticeButtons::YesNo ? answer_ : NoticeAnswer::Ok;
  }

  std::vector<std::string> texts;
  std::vector<std::string> captions;
  std::vector<NoticeIcon> icons;

 private:
  NoticeAnswer answer_;
};

}  // namespace tsl::test
