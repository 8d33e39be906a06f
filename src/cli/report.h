// What the command line says, and how: every message is
// "tessella: FILE: error|warning: ...", on standard error. A run that went
// well says nothing when standard error is no terminal; on a terminal it
// ends with one line; -v gives a line per file.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "platform/notices.h"

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
  // One file converted: what it wrote. Shown with -v, or on a terminal
  // when it is the only file.
  void Converted(const std::string& file, const std::vector<std::string>& written, bool onlyFile);
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

// The notices of the core as the command line words them: what went wrong
// is an error of the file being converted (or of the program, outside a
// conversion); questions and the window's information boxes are left out,
// as the command line says itself what it did.
class ReporterNotices : public Notices {
 public:
  explicit ReporterNotices(Reporter& reporter) : reporter_(reporter) {}
  NoticeAnswer Show(const std::string& text, const std::string& caption, NoticeIcon icon,
                    NoticeButtons buttons) override;

 private:
  Reporter& reporter_;
};

// Names the file the calling thread converts, for the notices it causes.
class ReportingFor {
 public:
  explicit ReportingFor(const std::string& file);
  ~ReportingFor();
  ReportingFor(const ReportingFor&) = delete;
  ReportingFor& operator=(const ReportingFor&) = delete;
  static const std::string* Current();

 private:
  const std::string* previous_;
};

// Flattens a message meant for a box (blank lines, line breaks) into one
// line.
std::string OneLine(const std::string& text);

}  // namespace tsl
