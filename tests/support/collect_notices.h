// Notices collected instead of shown: hand one to the code under test.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "platform/notices.h"

namespace tsl::test {

class CollectNotices : public Notices {
 public:
  // `answer`: what a question is answered.
  explicit CollectNotices(NoticeAnswer answer = NoticeAnswer::No) : answer_(answer) {}

  NoticeAnswer Tell(const Notice& notice) override {
    std::lock_guard<std::mutex> lock(mutex_);
    notices.push_back(notice);
    texts.push_back(NoticeText(notice));
    captions.push_back(NoticeCaption(notice));
    icons.push_back(notice.icon);
    return notice.IsQuestion() ? answer_ : NoticeAnswer::Ok;
  }

  std::vector<Notice> notices;
  std::vector<std::string> texts;     // as the desktop shows them
  std::vector<std::string> captions;
  std::vector<NoticeIcon> icons;

 private:
  std::mutex mutex_;
  NoticeAnswer answer_;
};

}  // namespace tsl::test
