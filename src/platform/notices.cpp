#include "platform/notices.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace tsl {

namespace {
// Writes "Tessella: text" on stderr; a question takes its default answer.
class StderrNotices : public Notices {
 public:
  NoticeAnswer Show(const std::string& text, const std::string& caption, NoticeIcon icon,
                    NoticeButtons buttons) override {
    static std::mutex m;
    std::lock_guard<std::mutex> lock(m);
    const char* kind = icon == NoticeIcon::Error ? "error: " : icon == NoticeIcon::Warning ? "warning: " : "";
    std::string flat = text;
    for (size_t p; (p = flat.find("\n\n")) != std::string::npos;) flat.replace(p, 2, ": ");
    for (char& c : flat)
      if (c == '\n' || c == '\r') c = ' ';
    // Nobody answers here: a question says which answer it took.
    bool question = buttons == NoticeButtons::YesNo;
    std::fprintf(stderr, "%s: %s%s%s\n", caption.c_str(), kind, flat.c_str(), question ? " (no)" : "");
    return question ? NoticeAnswer::No : NoticeAnswer::Ok;
  }
};

StderrNotices gDefault;
std::atomic<Notices*> gCurrent{nullptr};
}  // namespace

Notices& CurrentNotices() {
  Notices* n = gCurrent.load();
  return n ? *n : gDefault;
}

void SetNotices(Notices* notices) { gCurrent.store(notices); }

}  // namespace tsl
