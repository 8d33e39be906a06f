#include "shell/path_abbreviation.h"

namespace tsl::shell {

std::string AbbreviateToFit(const std::string& path, const std::function<bool(const std::string&)>& fits) {
  static const std::string kDots = "\\...";
  std::string text = path;
  while (!fits(text)) {
    size_t first = text.find('\\');
    if (first == std::string::npos) break;
    size_t end = text.find('\\', first + 1);
    if (end == std::string::npos) break;
    // A folder already dropped is taken together with the next one.
    if (text.compare(first, end - first, kDots) == 0) {
      end = text.find('\\', end + 1);
      if (end == std::string::npos) break;
    }
    text.replace(first, end - first, kDots);
  }
  return text;
}

}  // namespace tsl::shell
