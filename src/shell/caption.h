// The frame's title.
#pragma once
#include <string>

namespace tsl::shell {

// "<source> - Tessella" for a drawing from a plot file, else the program's
// banner; with a zoom, " [n:1]" or " [1:n]" appended. At most 255
// characters.
std::string CaptionText(const std::string& source, unsigned zoom);

}  // namespace tsl::shell
