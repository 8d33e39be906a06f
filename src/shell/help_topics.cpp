#include "shell/help_topics.h"

#include "resources/resource_ids.h"

namespace tsl::shell {

int HelpContextOf(unsigned id) {
  if (id == IDM_HELP_CONTENTS) return 0;
  if (id >= IDM_HELP_CONTEXT_FIRST && id <= IDM_HELP_CONTEXT_LAST)
    return static_cast<int>(id - IDM_HELP_CONTEXT_FIRST + 1) * 100;
  return -1;
}

std::string HelpPageOf(int context) {
  switch (context) {
    case 100: return "settings.htm#options";      // Options and Pen Settings
    case 200: return "menus.htm#page-setup";      // Page Setup
    case 300: return "settings.htm#preferences";  // Preferences
    case 400: return "settings.htm#files";        // settings export and import
    case 500: return "menus.htm#export";          // Export As
    case 600: return "cmdline.htm";               // Open HP-GL Special and switches
    default: return "index.htm";
  }
}

std::string HelpTopicUrl(const std::string& helpFile, int context) {
  return helpFile + "::/" + HelpPageOf(context);
}

}  // namespace tsl::shell
