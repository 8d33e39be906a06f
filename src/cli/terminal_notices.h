// The command line's side of the notices: each notice of the core as one
// line on stderr in the terminal's own words ("tessella: FILE: error: ..."),
// never a menu or a key to press, never a question. What the desktop asks
// is decided here (no) and said in the line that reports the outcome.
#pragma once
#include <iosfwd>
#include <string>

#include "common/names.h"
#include "interpreter/tessella.h"
#include "platform/notices.h"

namespace tsl {

class Reporter;

class TerminalNotices : public Notices {
 public:
  // `subject`: the file the notices are about (a job's plot file), named
  // at the start of each line; empty for none. Lines go to `out`, or to
  // stderr (one write per line, so that jobs in parallel do not mix).
  explicit TerminalNotices(std::string subject = {}, std::ostream* out = nullptr);
  // Lines go through `reporter`, which keeps them apart from the progress
  // line and leaves out what -q does not want.
  TerminalNotices(std::string subject, Reporter& reporter);

  NoticeAnswer Tell(const Notice& notice) override;

  // Whether the run told the outcome of its conversion (converted, pages,
  // the log worth a look): the command line then says it once, in its own
  // words, with the files written (TellOutcome).
  bool OutcomeWanted() const { return outcomeWanted_; }
  void TellOutcome(const RunResult& result, const OutputNames& names);
  // A line of the command line's own: "tessella: SUBJECT: KIND: text".
  void Say(const char* kind, const std::string& text);

 private:
  void Write(const std::string& line);

  std::string subject_;
  std::ostream* out_;
  Reporter* reporter_ = nullptr;
  bool outcomeWanted_ = false;
};

// The words of the command line for a notice (without "tessella: " and the
// subject), and whether it is an error or a warning (kind), or an
// information (kind empty).
std::string TerminalText(const Notice& notice, const char** kind);

// "a.emf, a-2.emf and a.log": the files of a finished conversion.
std::string FilesWritten(const RunResult& result);

}  // namespace tsl
