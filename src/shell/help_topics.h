// Which page of the help file each help request opens.
#pragma once
#include <string>

namespace tsl::shell {

// The help context of a Help command: 0 for Contents (1201), 100 .. 600
// for the dialogs' requests (1250 .. 1255); -1 for any other command.
int HelpContextOf(unsigned commandId);
// The page (and anchor) of a help context inside the help file; the first
// page for context 0 and for contexts without a page of their own.
std::string HelpPageOf(int context);
// "file::/page" as the help viewer opens it.
std::string HelpTopicUrl(const std::string& helpFile, int context);

}  // namespace tsl::shell
