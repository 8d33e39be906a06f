#include "shell/page_setup_dlg.h"

#include <string>

#include "common/notify.h"
#include "platform/win32/message_box_notices.h"
#include "platform/win32/system_text.h"
#include "resources/string_ids.h"
#include "output/page_setup_form.h"
#include "resources/print_ids.h"
#include "shell/dialog_placement.h"

namespace tsl::shell {

namespace {

struct DialogState {
  PrintRecord* record;
  HBITMAP picture = nullptr;
};

std::string ItemText(HWND dlg, int id) {
  char buf[256] = {};
  GetDlgItemTextA(dlg, id, buf, sizeof buf);
  return buf;
}

bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void Fill(HWND dlg, const PageSetupForm& f) {
  SetDlgItemTextA(dlg, IDC_PS_LEFT, f.left.c_str());
  SetDlgItemTextA(dlg, IDC_PS_TOP, f.top.c_str());
  SetDlgItemTextA(dlg, IDC_PS_RIGHT, f.right.c_str());
  SetDlgItemTextA(dlg, IDC_PS_BOTTOM, f.bottom.c_str());
  SetDlgItemTextA(dlg, IDC_PS_HEADING, f.heading.c_str());
  SetDlgItemTextA(dlg, IDC_PS_FOOTER, f.footer.c_str());
  CheckDlgButton(dlg, IDC_PS_FIT, f.fitToPage ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dlg, IDC_PS_ASPECT, f.maintainAspectRatio ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dlg, IDC_PS_CENTER, f.centerOnPage ? BST_CHECKED : BST_UNCHECKED);
}

PageSetupForm Read(HWND dlg) {
  PageSetupForm f;
  f.left = ItemText(dlg, IDC_PS_LEFT);
  f.top = ItemText(dlg, IDC_PS_TOP);
  f.right = ItemText(dlg, IDC_PS_RIGHT);
  f.bottom = ItemText(dlg, IDC_PS_BOTTOM);
  f.heading = ItemText(dlg, IDC_PS_HEADING);
  f.footer = ItemText(dlg, IDC_PS_FOOTER);
  f.fitToPage = Checked(dlg, IDC_PS_FIT);
  f.maintainAspectRatio = Checked(dlg, IDC_PS_ASPECT);
  f.centerOnPage = Checked(dlg, IDC_PS_CENTER);
  return f;
}

void ShowPrinter(HWND dlg, PrintRecord* r) { SetDlgItemTextA(dlg, IDC_PS_PRINTER, PrinterName(r).c_str()); }

// The picture control at the bottom left of the dialog, as large as its
// bitmap.
void PlacePicture(HWND dlg, HBITMAP bmp) {
  HWND pic = GetDlgItem(dlg, IDC_PS_PICTURE);
  BITMAP bm{};
  if (!pic || !bmp || !GetObjectA(bmp, sizeof bm, &bm)) return;
  RECT client, ok;
  GetClientRect(dlg, &client);
  GetWindowRect(GetDlgItem(dlg, IDOK), &ok);
  POINT okBottom{0, ok.bottom};
  ScreenToClient(dlg, &okBottom);
  int margin = 10;
  SetWindowPos(pic, nullptr, margin, okBottom.y - bm.bmHeight, bm.bmWidth, bm.bmHeight, SWP_NOZORDER);
}

void DrawPicture(const DRAWITEMSTRUCT* di, HBITMAP bmp) {
  if (!bmp) return;
  HDC mem = CreateCompatibleDC(di->hDC);
  HGDIOBJ old = SelectObject(mem, bmp);
  BITMAP bm{};
  GetObjectA(bmp, sizeof bm, &bm);
  BitBlt(di->hDC, di->rcItem.left, di->rcItem.top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

bool TakeOk(HWND dlg, DialogState* st) {
  std::string bad;
  PageSetup s = SetupFromForm(Read(dlg), st->record->setup, &bad);
  if (!bad.empty()) {
    // A margin that is not a number would be stored as something the
    // user never typed: say so and let them mend it.
    std::string fmt;
    if (!win32::LoadResString(nullptr, IDS_MARGINS_INVALID, &fmt)) fmt = "%s";
    MessageBoxA(dlg, Format(fmt.c_str(), bad.c_str()).c_str(), "Tessella", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  st->record->setup = s;
  win32::MessageBoxNotices notices(dlg);
  WritePageSetup(notices, s);
  return true;
}

INT_PTR CALLBACK PageSetupProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* st = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      st = reinterpret_cast<DialogState*>(lParam);
      SetWindowLongPtrA(dlg, DWLP_USER, lParam);
      st->picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PAGE_SETUP));
      PlacePicture(dlg, st->picture);
      ReadDefaultPageSetup(&st->record->setup);
      SendDlgItemMessageA(dlg, IDC_PS_HEADING, EM_LIMITTEXT, kMaxPageTemplate, 0);
      SendDlgItemMessageA(dlg, IDC_PS_FOOTER, EM_LIMITTEXT, kMaxPageTemplate, 0);
      for (int id : {IDC_PS_LEFT, IDC_PS_TOP, IDC_PS_RIGHT, IDC_PS_BOTTOM})
        SendDlgItemMessageA(dlg, id, EM_LIMITTEXT, 4, 0);
      Fill(dlg, FormFromSetup(st->record->setup));
      ShowPrinter(dlg, st->record);
      CentreOnDesktop(dlg);
      return TRUE;
    }
    case WM_DRAWITEM:
      if (wParam == IDC_PS_PICTURE && st) {
        DrawPicture(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), st->picture);
        return TRUE;
      }
      return FALSE;
    case WM_HELP:
      if (HWND owner = GetWindow(dlg, GW_OWNER)) SendMessageA(owner, WM_COMMAND, IDM_HELP_PAGE_SETUP, 0);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PS_PRINTER_SETUP:
          PrinterSetupDialog(st->record, dlg);
          ShowPrinter(dlg, st->record);
          return TRUE;
        case IDOK:
          if (!TakeOk(dlg, st)) return TRUE;
          [[fallthrough]];
        case IDCANCEL:
          if (st->picture) DeleteObject(st->picture);
          st->picture = nullptr;
          EndDialog(dlg, LOWORD(wParam));
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

bool MyPageSetupDlg(HWND owner, PrintRecord* record) {
  if (!record) return false;
  DialogState st{record};
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PAGE_SETUP), owner, PageSetupProc,
                              reinterpret_cast<LPARAM>(&st));
  if (st.picture) DeleteObject(st.picture);
  return r == IDOK;
}

}  // namespace tsl::shell
