// User notices: a message with a caption, an icon and buttons. The desktop
// shows a message box; the command line writes a line and answers a question
// with its default, never blocking.
#pragma once
#include <string>

namespace tsl {

enum class NoticeIcon { Information, Warning, Error, Question };
enum class NoticeButtons { Ok, YesNo };
enum class NoticeAnswer { Ok, Yes, No };

class Notices {
 public:
  virtual ~Notices() = default;
  virtual NoticeAnswer Show(const std::string& text, const std::string& caption, NoticeIcon icon,
                            NoticeButtons buttons) = 0;
};

// The process's notices; a front end installs its own at start. Until then
// (and in tests that install nothing) notices go to stderr.
Notices& CurrentNotices();
void SetNotices(Notices* notices);  // nullptr restores the default

}  // namespace tsl
