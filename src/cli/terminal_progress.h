// Progress on a terminal: one line with the file name, a bar and the
// percentage, redrawn in place; nothing at all when stderr is no terminal.
#pragma once
#include <atomic>
#include <string>

#include "platform/progress.h"

namespace tsl {

class TerminalProgress : public Progress {
 public:
  // `cancel` is raised by the front end (Ctrl-C); the run sees it at the
  // next command.
  explicit TerminalProgress(const std::atomic<bool>* cancel = nullptr);
  void Open(const std::string& input, const std::string& output) override;
  bool SetPct(int percent) override;
  void SetMsg(const std::string&) override {}
  void SetTarget(const std::string& output) override { output_ = output; }
  void Close() override;

 private:
  bool tty_;
  const std::atomic<bool>* cancel_;
  std::string name_, output_;
  int shown_ = -1;
};

}  // namespace tsl
