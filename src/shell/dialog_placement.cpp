#include "shell/dialog_placement.h"

namespace tsl::shell {

void CentreOnDesktop(HWND dialog) {
  RECT d, w;
  GetWindowRect(GetDesktopWindow(), &d);
  GetWindowRect(dialog, &w);
  int x = d.left + ((d.right - d.left) - (w.right - w.left)) / 2;
  int y = d.top + ((d.bottom - d.top) - (w.bottom - w.top)) / 2;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace tsl::shell
