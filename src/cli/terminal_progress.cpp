#include "cli/terminal_progress.h"

#include <cstdio>
#include <unistd.h>

#include "common/names.h"

namespace tsl {

ProgressBoard::ProgressBoard(size_t total) : tty_(isatty(STDERR_FILENO) != 0), total_(total) {}

ProgressBoard::~ProgressBoard() {
  if (tty_ && drawnWidth_) std::fprintf(stderr, "\r%*s\r", static_cast<int>(drawnWidth_), "");
}

int ProgressBoard::Begin(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t slot = 0;
  while (slot < entries_.size() && entries_[slot].running) ++slot;
  if (slot == entries_.size()) entries_.emplace_back();
  entries_[slot] = {ShortName(name), 0, true};
  Draw();
  return static_cast<int>(slot);
}

void ProgressBoard::Update(int slot, int percent) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (slot < 0 || static_cast<size_t>(slot) >= entries_.size()) return;
  entries_[slot].percent = percent;
  Draw();
}

void ProgressBoard::End(int slot) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (slot >= 0 && static_cast<size_t>(slot) < entries_.size()) entries_[slot].running = false;
  Draw();
}

void ProgressBoard::JobDone() {
  std::lock_guard<std::mutex> lock(mutex_);
  done_++;
  Draw();
}

void ProgressBoard::Print(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (tty_ && drawnWidth_) std::fprintf(stderr, "\r%*s\r", static_cast<int>(drawnWidth_), "");
  drawnWidth_ = 0;
  std::fprintf(stderr, "%s\n", line.c_str());
  bool running = false;
  for (const Entry& e : entries_) running = running || e.running;
  if (running) Draw();
  std::fflush(stderr);
}

void ProgressBoard::Draw() {
  if (!tty_) return;
  std::string line;
  if (total_ > 1) line = "[" + std::to_string(done_) + "/" + std::to_string(total_) + "]";
  for (const Entry& e : entries_) {
    if (!e.running) continue;
    std::string name = e.name.size() > 28 ? e.name.substr(0, 25) + "..." : e.name;
    line += (line.empty() ? "" : "  ") + name + " " + std::to_string(e.percent) + "%";
  }
  if (line.size() > 79) line.resize(79);
  size_t pad = drawnWidth_ > line.size() ? drawnWidth_ - line.size() : 0;
  std::fprintf(stderr, "\r%s%*s", line.c_str(), static_cast<int>(pad), "");
  if (pad) std::fprintf(stderr, "\r%s", line.c_str());
  std::fflush(stderr);
  drawnWidth_ = line.size();
}

void TerminalProgress::Open(const std::string& input, const std::string&) {
  if (board_) slot_ = board_->Begin(input);
  shown_ = -1;
}

bool TerminalProgress::SetPct(int percent) {
  if (board_ && percent != shown_) {
    shown_ = percent;
    board_->Update(slot_, percent);
  }
  return !(cancel_ && cancel_->load());
}

void TerminalProgress::Close() {
  if (board_ && slot_ >= 0) board_->End(slot_);
  slot_ = -1;
}

}  // namespace tsl
