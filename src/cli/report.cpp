#include "cli/report.h"

#include <cstdio>

#include "cli/terminal_progress.h"

namespace tsl {

std::string OneLine(const std::string& text) {
  std::string flat = text;
  for (size_t p; (p = flat.find("\n\n")) != std::string::npos;) flat.replace(p, 2, ": ");
  for (char& c : flat)
    if (c == '\n' || c == '\r') c = ' ';
  while (!flat.empty() && flat.back() == ' ') flat.pop_back();
  return flat;
}

void Reporter::SetBoard(ProgressBoard* board) {
  std::lock_guard<std::mutex> lock(mutex_);
  board_ = board;
}

void Reporter::Line(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string line = "tessella: " + text;
  if (board_) {
    board_->Print(line);
  } else {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
  }
}

void Reporter::Error(const std::string& file, const std::string& text) {
  Line((file.empty() ? "" : file + ": ") + "error: " + OneLine(text));
}

void Reporter::Warning(const std::string& file, const std::string& text) {
  if (Quiet()) return;
  Line((file.empty() ? "" : file + ": ") + "warning: " + OneLine(text));
}

void Reporter::Note(const std::string& text) {
  if (Quiet() || !(terminal_ || Verbose())) return;
  Line(text);
}

void Reporter::Converted(const std::string& file, const std::string& text, bool onlyFile) {
  if (Quiet() || !(Verbose() || (terminal_ && onlyFile))) return;
  Line(file + ": " + text);
}

void Reporter::Summary(int converted, int withWarnings, int failed) {
  if (Quiet() || !(terminal_ || Verbose())) return;
  std::string text = std::to_string(converted) + " file" + (converted == 1 ? "" : "s") + " converted";
  if (withWarnings) text += " (" + std::to_string(withWarnings) + " with warnings)";
  text += ", " + std::to_string(failed) + " failed";
  Line(text);
}

void Reporter::Interrupted() { Line("interrupted"); }

}  // namespace tsl
