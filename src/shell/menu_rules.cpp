#include "shell/menu_rules.h"

#include "resources/resource_ids.h"

namespace tsl::shell {

std::vector<MenuItemState> MenuEnabling(const MenuFacts& f) {
  return {
      {IDM_SAVE_EMF, f.haveSource},          {IDM_SAVE_EMZ, f.haveSource}, {IDM_EXPORT_AS, f.haveSource},
      {IDM_PRINT, f.haveSource},             {IDM_COPY, f.haveSource},     {IDM_PASTE, f.clipboardHasEmf},
      {IDM_HELP_CONTENTS, f.haveHelp},       {IDM_HELP_SEARCH, f.haveHelp},
  };
}

}  // namespace tsl::shell
