#include "cli/terminal_progress.h"

#include <cstdio>
#include <unistd.h>

#include "common/names.h"

namespace tsl {

TerminalProgress::TerminalProgress(const std::atomic<bool>* cancel)
    : tty_(isatty(STDERR_FILENO) != 0), cancel_(cancel) {}

void TerminalProgress::Open(const std::string& input, const std::string& output) {
  name_ = ShortName(input);
  output_ = output;
  shown_ = -1;
}

bool TerminalProgress::SetPct(int percent) {
  if (tty_ && percent != shown_) {
    shown_ = percent;
    constexpr int kWidth = 30;
    int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%-32.32s [%.*s%*s] %3d%%", name_.c_str(), filled,
                 "##############################", kWidth - filled, "", percent);
    std::fflush(stderr);
  }
  return !(cancel_ && cancel_->load());
}

void TerminalProgress::Close() {
  if (tty_ && shown_ >= 0) {
    std::fprintf(stderr, "\r%*s\r", 72, "");
    std::fflush(stderr);
  }
  shown_ = -1;
}

}  // namespace tsl
