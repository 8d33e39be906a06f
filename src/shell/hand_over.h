// A second start of the program hands its command line to the running one.
#pragma once
#include <string>

namespace tsl::shell {

// The text put in the global atom: "-2 " and the command line, at most 255
// characters (an atom holds no more).
std::string HandOverText(const std::string& commandLine);

// True when the command line asks for a DDE run ("-DDE" or "/DDE", as
// written): such a start runs on its own beside a running instance.
bool RunsOnItsOwn(const std::string& commandLine);

}  // namespace tsl::shell
