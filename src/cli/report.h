// What the command line says, and how: every message is
// "tessella: FILE: error|warning: ...", on standard error. A run that went
// well says nothing when standard error is no terminal; on a terminal it
// ends with one line; -v gives a line per file.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "cli/arguments.h"

namespace tsl {

class ProgressBoard;

class Reporter {
 public:
  Reporter(Verbosity verbosity, bool terminal) : verbosity_(verbosity), terminal_(terminal) {}
  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  void SetVerbosity(Verbosity verbosity) { verbosity_ = verbosity; }
  // While a batch runs, lines go above its progress line.
  void SetBoard(ProgressBoard* board);

  void Error(const std::string& file, const std::string& text);
  void Warning(const std::string& file, const std::string& text);
  // A remark that is neither: shown on a terminal and with -v, never with -q.
  void Note(const std::string& text);
  // One file converted, and what it wrote. Shown with -v, or on a
  // terminal when it is the only file.
  void Converted(const std::string& file, const std::string& text, bool onlyFile);
  // The end of a batch of several files (terminal or -v).
  void Summary(int converted, int withWarnings, int failed);
  void Interrupted();

  bool Verbose() const { return verbosity_ == Verbosity::Verbose; }
  bool Quiet() const { return verbosity_ == Verbosity::Quiet; }

 private:
  void Line(const std::string& text);

  std::mutex mutex_;
  Verbosity verbosity_;
  bool terminal_;
  ProgressBoard* board_ = nullptr;
};

// Flattens a message meant for a box (blank lines, line breaks) into one
// line.
std::string OneLine(const std::string& text);

}  // namespace tsl
