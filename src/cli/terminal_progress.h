// Progress on a terminal: one line, redrawn in place, with the overall count
// of a batch and each running file with its percentage; nothing at all when
// stderr is no terminal.
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/progress.h"

namespace tsl {

class ProgressBoard {
 public:
  explicit ProgressBoard(size_t total);
  ~ProgressBoard();
  int Begin(const std::string& name);
  void Update(int slot, int percent);
  void End(int slot);
  // One more file of the batch is finished, converted or not.
  void JobDone();
  // Writes a line of text on stderr above the progress line.
  void Print(const std::string& line);

 private:
  void Draw();
  struct Entry {
    std::string name;
    int percent = 0;
    bool running = false;
  };
  std::mutex mutex_;
  bool tty_;
  size_t total_, done_ = 0;
  std::vector<Entry> entries_;
  size_t drawnWidth_ = 0;
};

// One conversion's progress on the board. `cancel` is raised by the front
// end (Ctrl-C); the run sees it at the next command.
class TerminalProgress : public Progress {
 public:
  TerminalProgress(ProgressBoard* board, const std::atomic<bool>* cancel) : board_(board), cancel_(cancel) {}
  void Open(const std::string& input, const std::string& output) override;
  bool SetPct(int percent) override;
  void SetMsg(const std::string&) override {}
  void SetTarget(const std::string&) override {}
  void Close() override;

 private:
  ProgressBoard* board_;
  const std::atomic<bool>* cancel_;
  int slot_ = -1;
  int shown_ = -1;
};

}  // namespace tsl
