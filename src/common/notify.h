// printf into a string, and the system's text for an error.
#pragma once
#include <string>

namespace tsl {

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
