#include "shell/hand_over.h"

namespace tsl::shell {

std::string HandOverText(const std::string& commandLine) {
  std::string text = "-2 " + commandLine;
  if (text.size() > 255) text.resize(255);
  return text;
}

bool RunsOnItsOwn(const std::string& commandLine) {
  return commandLine.find("-DDE") != std::string::npos || commandLine.find("/DDE") != std::string::npos;
}

}  // namespace tsl::shell
