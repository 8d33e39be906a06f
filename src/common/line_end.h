// The line end of the text files we write: CR LF on Windows, LF elsewhere,
// as each system's tools expect. Readers take either.
#pragma once

namespace tsl {

#if defined(_WIN32)
constexpr char kLineEnd[] = "\r\n";
#else
constexpr char kLineEnd[] = "\n";
#endif

}  // namespace tsl
