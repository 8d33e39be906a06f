// Makes one chosen step of file I/O fail while the object lives (through
// SetIoFaultHook), and counts the steps it saw.
#pragma once
#include <cerrno>
#include <functional>
#include <string>
#include <utility>

#include "common/io_faults.h"

namespace tsl::test {

inline const char* StepName(FileStep step) {
  switch (step) {
    case FileStep::Create: return "create";
    case FileStep::Write: return "write";
    case FileStep::Sync: return "sync";
    case FileStep::Close: return "close";
    case FileStep::Rename: return "rename";
    case FileStep::Open: return "open";
    case FileStep::Read: return "read";
  }
  return "?";
}

inline bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class FaultPlan {
 public:
  using Match = std::function<bool(FileStep, const std::string&)>;

  // Fails the `nth` (from 0) step that `match` accepts with `err`; with a
  // negative `nth` only counts.
  FaultPlan(Match match, int nth, int err = ENOSPC) : match_(std::move(match)), nth_(nth), err_(err) {
    SetIoFaultHook([this](FileStep step, const std::string& path) {
      if (!match_(step, path)) return 0;
      int index = seen_++;
      if (index != nth_) return 0;
      fired_ = true;
      failedStep_ = step;
      failedPath_ = path;
      return err_;
    });
  }
  // The `nth` step of kind `step` on a file whose path ends in `suffix`.
  FaultPlan(FileStep step, const std::string& suffix, int nth = 0, int err = ENOSPC)
      : FaultPlan([step, suffix](FileStep s, const std::string& p) { return s == step && EndsWith(p, suffix); },
                  nth, err) {}
  ~FaultPlan() { SetIoFaultHook(nullptr); }
  FaultPlan(const FaultPlan&) = delete;
  FaultPlan& operator=(const FaultPlan&) = delete;

  int seen() const { return seen_; }
  bool fired() const { return fired_; }
  FileStep failedStep() const { return failedStep_; }
  const std::string& failedPath() const { return failedPath_; }
  std::string Describe() const {
    return fired_ ? std::string(StepName(failedStep_)) + " of " + failedPath_ : "nothing failed";
  }

 private:
  Match match_;
  int nth_, err_;
  int seen_ = 0;
  bool fired_ = false;
  FileStep failedStep_ = FileStep::Create;
  std::string failedPath_;
};

inline bool AnyStep(FileStep, const std::string&) { return true; }
inline bool AnyWriteStep(FileStep step, const std::string&) {
  return step != FileStep::Open && step != FileStep::Read;
}

}  // namespace tsl::test
