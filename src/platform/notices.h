// User notices: what the core has to tell the user, as a message of the
// string table with its arguments. The core never words or shows a notice
// itself: it hands it to the Notices of whoever called it (a conversion run
// carries them in its RunEnvironment), and each front end words it for its
// own place: the desktop as a message box with the string table's text, the
// command line as a line on stderr (and a question as the decision taken).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tsl {

enum class NoticeIcon { Information, Warning, Error, Question };
enum class NoticeButtons { Ok, YesNo };
enum class NoticeAnswer { Ok, Yes, No };

struct Notice {
  // The string-table message; 0 for a notice that is the system's text
  // alone (`reason`), such as a plot file that cannot be opened.
  unsigned id = 0;
  // The message's arguments, in the order of its conversions, as text.
  std::vector<std::string> args;
  // The system's text for the messages that end in it ("...\n\n%s"): the
  // last argument of their format.
  std::optional<std::string> reason;
  NoticeIcon icon = NoticeIcon::Warning;
  NoticeButtons buttons = NoticeButtons::Ok;
  std::string caption;  // empty: "Tessella"

  bool IsQuestion() const { return buttons == NoticeButtons::YesNo; }
};

class Notices {
 public:
  virtual ~Notices() = default;
  // Tells the user; the answer to a question, else Ok.
  virtual NoticeAnswer Tell(const Notice& notice) = 0;
};

// Tells nobody; a question is answered No. For callers that have nobody to
// tell (tests, measurements) and the default of a run without notices.
class SilentNotices : public Notices {
 public:
  NoticeAnswer Tell(const Notice& notice) override { return notice.IsQuestion() ? NoticeAnswer::No : NoticeAnswer::Ok; }
};
Notices& NoOneToTell();

// A notice of string `id` with `args`; with a `reason`, the system's text
// that completes it.
Notice MakeNotice(unsigned id, std::vector<std::string> args, NoticeIcon icon = NoticeIcon::Warning);
Notice MakeSystemNotice(unsigned id, std::string arg, std::string reason);

// The text the desktop shows: the string's format filled with the
// arguments (and the reason, cut to 127 bytes as the system's buffer
// holds it); for id 0 the reason alone. A string the table lacks gives
// "An unexpected event #<id> has occurred" with the arguments after it.
std::string NoticeText(const Notice& notice);
// The caption: the notice's own, else "Tessella".
std::string NoticeCaption(const Notice& notice);

// Fills the conversions of a printf-style format (%s, %d, %u, %lu, %ld,
// %x, with "%%" for a percent sign) with `args` in order, as text: no
// argument is ever read as a type it is not. Missing arguments are empty.
std::string FillFormat(const std::string& format, const std::vector<std::string>& args);

}  // namespace tsl
