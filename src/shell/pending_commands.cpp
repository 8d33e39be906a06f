// Commands whose work comes with a later version: their menu items,
// toolbar buttons and keys exist and say so.
#include "shell/commands.h"
#include "shell/window_notices.h"

namespace tsl::shell {

LRESULT CmdNotAvailableYet(HWND, unsigned, LPARAM) {
  NotAvailableYet();
  return 0;
}

}  // namespace tsl::shell
