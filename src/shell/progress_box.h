// The modeless box a conversion of the window reports to: the plot and the
// metafile, a bar with the percentage, a message line and Cancel. The box
// keeps itself responsive by dispatching its own messages whenever the run
// reports; other windows wait until the run ends.
#pragma once
#include <string>

#include "platform/progress.h"
#include "shell/metafile.h"

namespace tsl::shell {

// Opens the box owned by `owner` (or shows the one already open). None with
// the Quiet setting: the run goes on without a box.
HWND OpenProgressBox(HWND owner, const std::string& source, const std::string& target);
// 0 when the user has cancelled, else 1. Both work without a box (1).
int SetProgressPct(int percent);
int SetProgressMsg(const std::string& text);
void SetProgressTarget(const std::string& path);
void CloseProgressBox();
// Whether Cancel was pressed in the box of the current (or last) run.
bool ProgressCancelled();

// Shows `path` in control `id` of `dialog`, shortened to the control's width.
void AbbreviatePath(HWND dialog, int id, const std::string& path);

// A run's progress through the box.
class BoxProgress : public Progress {
 public:
  explicit BoxProgress(HWND owner) : owner_(owner) {}
  void Open(const std::string& input, const std::string& output) override { OpenProgressBox(owner_, input, output); }
  bool SetPct(int percent) override { return SetProgressPct(percent) != 0; }
  void SetMsg(const std::string& message) override { SetProgressMsg(message); }
  void SetTarget(const std::string& output) override { SetProgressTarget(output); }
  void Close() override { CloseProgressBox(); }

 private:
  HWND owner_;
};

}  // namespace tsl::shell
