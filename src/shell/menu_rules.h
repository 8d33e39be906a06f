// Which menu items are enabled, from what the program holds.
#pragma once
#include <vector>

namespace tsl::shell {

struct MenuFacts {
  bool haveSource = false;       // a plot file is behind the drawing
  bool clipboardHasEmf = false;  // an enhanced metafile is on the clipboard
  bool haveHelp = false;         // the help file exists
};

struct MenuItemState {
  unsigned id;
  bool enabled;
};

// The items whose state depends on the facts, each with its state.
std::vector<MenuItemState> MenuEnabling(const MenuFacts& facts);

}  // namespace tsl::shell
