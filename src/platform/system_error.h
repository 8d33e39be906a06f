// The system's text for the last failure of an operating-system call on
// this thread: errno's on POSIX, GetLastError's on Windows.
#pragma once
#include <string>

namespace tsl {
std::string LastSystemErrorText();
}
