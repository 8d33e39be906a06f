// The main loop of a run: reads commands, grows the command buffer when a
// command does not fit, and hands each command to its handler.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/memory.h"
#include "interpreter/input_file.h"
#include "interpreter/plotter_state.h"
#include "settings/settings_set.h"

namespace tsl {

class Clock;
class PageOutput;

// The longest single command: the buffer stops doubling beyond this.
constexpr size_t kMaxCommandBuffer = 1048576;

class PlotReader {
 public:
  explicit PlotReader(const SettingsSet& settings);

  // The command buffer (InitialCmdBuffer bytes) and the parameter array,
  // with room for every parameter a command of that size can hold. 0, or
  // the size in bytes that could not be allocated.
  size_t Allocate();
  InputFile& Input() { return in_; }
  void Attach(PlotterState& ps);
  size_t BufferSize() const { return size_; }
  // The size of an allocation that failed and ended the run (0: none).
  size_t FailedAllocation() const { return failedAllocation_; }

  // Reads and executes commands until the end of the file, a cancel, a
  // fatal error, or a page whose metafile could not be made.
  void Run(PlotterState& ps, PageOutput& pages, bool* cancelled);
  // A fatal error (an over-long command, no memory, a read error) ended the
  // reading before the end of the plot.
  bool Aborted() const { return aborted_; }

 private:
  bool Grow(PlotterState& ps);
  // A parameter takes at least one byte and a separator, so a buffer of
  // `size` bytes never holds more than this many.
  static size_t ArgsFor(size_t size) { return size / 2 + 1; }
  // Runs one command's handler (or splits the page). False when the run
  // must end: the next page's metafile could not be made, or memory ran
  // out (logged and counted).
  bool Execute(PlotterState& ps, PageOutput& pages, uint16_t m, const char* text);
  // Runs `command`; a failed allocation ends the run (logged and counted).
  // False when the run must end.
  template <class Command>
  bool Guarded(PlotterState& ps, PageOutput& pages, Command&& command);
  // Reports the percentage at input offset `end`; false when the user
  // cancelled (logged and counted).
  bool Progress(PlotterState& ps, uint64_t end, bool* cancelled);
  // Runs pen motion commands one after another from `ahead` (`avail` bytes
  // read ahead, from the input's offset) while the lane reads them, and
  // returns the bytes they took; *go turns false when the run must end.
  size_t TakePenMotion(PlotterState& ps, PageOutput& pages, const char* ahead, size_t avail, bool* cancelled,
                       bool* go);

  size_t size_;
  bool aborted_ = false;
  std::vector<char> buffer_;
  std::vector<Arg> args_;
  size_t failedAllocation_ = 0;
  // The percentage changes a hundred times a run: it is worked out again
  // only when the offset leaves the span [pctFrom_, pctTo_) that gives it.
  uint64_t fileSize_ = 0, pctFrom_ = 0, pctTo_ = 0;
  int pct_ = 0;
  unsigned quietMotions_ = 0;  // pen motions since the last report
  InputFile in_;
};

}  // namespace tsl
