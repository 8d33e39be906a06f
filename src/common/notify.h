// The two standard notices and the system's error text.
#pragma once
#include <string>

#include "platform/notices.h"

namespace tsl {

// String `id` used as a format for `arg` (or shown as is without one),
// caption "Tessella", warning icon.
NoticeAnswer NotifyUser(unsigned id, const char* arg);
// String `id` filled with `arg` and the system's text for the last error.
NoticeAnswer NotifyUserSE(unsigned id, const char* arg);
// Same, with the system text given (errno text on POSIX).
NoticeAnswer NotifyUserSE(unsigned id, const char* arg, const std::string& systemText);

// The system's text for the calling thread's last error (errno here).
std::string GetSysErr();
std::string SysErrText(int code);

// printf into a std::string.
std::string Format(const char* fmt, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 1, 2)))  // C99 formats (%zu, %lld) through MinGW's own printf
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace tsl
