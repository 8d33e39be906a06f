// The Help menu and the About box.
#include "shell/about_text.h"

#include "resources/resource_ids.h"
#include "shell/commands.h"
#include "shell/globals.h"
#include "shell/window_notices.h"
#include "update/win32/version_thread.h"

namespace tsl::shell {

namespace {

void OnAboutInit(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_ABOUT_NAME, AboutProgramName().c_str());
  SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, AboutVersion().c_str());
  SetDlgItemTextA(dialog, IDC_ABOUT_COPYRIGHT, AboutCopyright().c_str());
  SetDlgItemTextA(dialog, IDC_ABOUT_LIBRARIES, AboutLibraries().c_str());
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: OnAboutInit(dialog); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

LRESULT CmdHelp(HWND, unsigned, LPARAM) {
  // Without a help file there is nothing to show.
  if (gvGlobals.helpFile.empty()) return 0;
  NotAvailableYet();
  return 0;
}

LRESULT CmdCheckUpdates(HWND frame, unsigned, LPARAM) {
  // Asked for by the user: in the foreground, and the current release is
  // confirmed too. Every wait of the check is bounded.
  HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  tsl::win32::GetCurrentVersionInfo(frame, 1);
  SetCursor(old);
  return 0;
}

LRESULT CmdAbout(HWND frame, unsigned, LPARAM) {
  DialogBoxParamA(gvGlobals.instance, MAKEINTRESOURCEA(IDD_ABOUT), frame, AboutBoxProc, 0);
  return 0;
}

}  // namespace tsl::shell
