#include "common/notify.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>


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

}  // namespace tsl
