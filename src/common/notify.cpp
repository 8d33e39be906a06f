#include "common/notify.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/strings.h"

namespace tsl {

std::string Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  int n = vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    vsnprintf(&out[0], out.size(), fmt, ap2);
    out.resize(static_cast<size_t>(n));
  }
  va_end(ap2);
  return out;
}

std::string SysErrText(int code) {
  if (code == 0) return "The operation completed successfully.";
  return std::strerror(code);
}

std::string GetSysErr() { return SysErrText(errno); }

NoticeAnswer NotifyUser(unsigned id, const char* arg) {
  std::string fmt;
  std::string text;
  if (!LoadString(id, &fmt, 256)) {
    text = Format("An unexpected event #%u has occurred", id);
    if (arg && text.size() + 2 + std::strlen(arg) <= 255) text += std::string("\n\n") + arg;
  } else {
    text = arg ? Format(fmt.c_str(), arg) : fmt;
  }
  return CurrentNotices().Show(text, "Tessella", NoticeIcon::Warning, NoticeButtons::Ok);
}

NoticeAnswer NotifyUserSE(unsigned id, const char* arg, const std::string& systemText) {
  std::string fmt;
  if (!LoadString(id, &fmt, 128)) fmt = Format("An unexpected event #%u has occurred: %%s\n\n%%s", id);
  std::string sys = systemText.substr(0, 127);
  std::string text = Format(fmt.c_str(), arg ? arg : "", sys.c_str());
  return CurrentNotices().Show(text, "Tessella", NoticeIcon::Warning, NoticeButtons::Ok);
}

NoticeAnswer NotifyUserSE(unsigned id, const char* arg) {
  return NotifyUserSE(id, arg, GetSysErr());
}

}  // namespace tsl
