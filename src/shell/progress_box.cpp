#include "shell/progress_box.h"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "settings/settings_set.h"
#include "shell/dialog_placement.h"
#include "shell/globals.h"
#include "shell/path_abbreviation.h"

namespace tsl::shell {

namespace {

HWND hwndProgressBox = nullptr;
int CurrentPct = 0;
bool CancelConversion = false;
DWORD lastPump = 0;

struct BoxPaths {
  const std::string* source;
  const std::string* target;
};

// Only the box's own messages: other windows of the program are not
// serviced while a conversion runs.
void PumpBox() {
  MSG msg;
  while (hwndProgressBox && PeekMessageA(&msg, hwndProgressBox, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(hwndProgressBox, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  lastPump = GetTickCount();
}

void OnInit(HWND box, const BoxPaths& paths) {
  CancelConversion = false;
  CurrentPct = 0;
  AbbreviatePath(box, IDC_PROGRESS_SOURCE, *paths.source);
  AbbreviatePath(box, IDC_PROGRESS_TARGET, *paths.target);
  CentreOnDesktop(box);
  SendDlgItemMessageA(box, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendDlgItemMessageA(box, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
}

INT_PTR CALLBACK ProgressBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      OnInit(box, *reinterpret_cast<const BoxPaths*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL:
          CancelConversion = true;
          return TRUE;
        case PBM_TSL_SET_PCT: {
          CurrentPct = static_cast<int>(lParam);
          SendDlgItemMessageA(box, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(CurrentPct), 0);
          std::string text = std::to_string(CurrentPct) + "%";
          SetDlgItemTextA(box, IDC_PROGRESS_PCT, text.c_str());
          return TRUE;
        }
        case PBM_TSL_QUERY_CANCEL:
          SetWindowLongPtrA(box, DWLP_MSGRESULT, CancelConversion ? 1 : 0);
          return TRUE;
        case PBM_TSL_SET_TARGET:
          AbbreviatePath(box, IDC_PROGRESS_TARGET, reinterpret_cast<const char*>(lParam));
          InvalidateRect(box, nullptr, TRUE);
          UpdateWindow(box);
          return TRUE;
        case PBM_TSL_SET_MSG: {
          HWND text = GetDlgItem(box, IDC_PROGRESS_MSG);
          SetWindowTextA(text, reinterpret_cast<const char*>(lParam));
          UpdateWindow(text);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

bool AskCancelled() {
  return hwndProgressBox && SendMessageA(hwndProgressBox, WM_COMMAND, PBM_TSL_QUERY_CANCEL, 0) != 0;
}

}  // namespace

HWND OpenProgressBox(HWND owner, const std::string& source, const std::string& target) {
  if (hwndProgressBox) {
    ShowWindow(hwndProgressBox, SW_SHOW);
    return hwndProgressBox;
  }
  CancelConversion = false;
  if (setOptions.Has(Quiet)) return nullptr;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  BoxPaths paths{&source, &target};
  hwndProgressBox = CreateDialogParamA(gvGlobals.instance, MAKEINTRESOURCEA(IDD_PROGRESS), owner, ProgressBoxProc,
                                       reinterpret_cast<LPARAM>(&paths));
  if (hwndProgressBox) {
    ShowWindow(hwndProgressBox, SW_SHOW);
    UpdateWindow(hwndProgressBox);
    PumpBox();
  }
  return hwndProgressBox;
}

int SetProgressPct(int percent) {
  // Without a box (Quiet) nothing is reported and nothing waits.
  if (!hwndProgressBox) return 1;
  // Every command reports; the box is serviced when the figure moves, and
  // at least every 50 ms, so that large plots do not pay for it per command.
  bool moved = percent != CurrentPct;
  if (!moved && GetTickCount() - lastPump < 50) return 1;
  PumpBox();
  if (moved && hwndProgressBox) SendMessageA(hwndProgressBox, WM_COMMAND, PBM_TSL_SET_PCT, percent);
  if (AskCancelled()) return 0;
  Sleep(0);
  return 1;
}

int SetProgressMsg(const std::string& text) {
  if (!hwndProgressBox) return 1;
  PumpBox();
  if (hwndProgressBox)
    SendMessageA(hwndProgressBox, WM_COMMAND, PBM_TSL_SET_MSG, reinterpret_cast<LPARAM>(text.c_str()));
  if (AskCancelled()) return 0;
  Sleep(0);
  return 1;
}

void SetProgressTarget(const std::string& path) {
  if (hwndProgressBox)
    SendMessageA(hwndProgressBox, WM_COMMAND, PBM_TSL_SET_TARGET, reinterpret_cast<LPARAM>(path.c_str()));
}

void CloseProgressBox() {
  if (!hwndProgressBox) return;
  DestroyWindow(hwndProgressBox);
  hwndProgressBox = nullptr;
}

bool ProgressCancelled() { return CancelConversion; }

void AbbreviatePath(HWND dialog, int id, const std::string& path) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return;
  std::string shown = path.size() < kMaxPath ? path : path.substr(0, kMaxPath - 1);
  RECT client{};
  GetClientRect(control, &client);
  HDC dc = GetDC(dialog);
  // Measured in the control's own font.
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  shown = AbbreviateToFit(shown, [&](const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx <= client.right - client.left;
  });
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  SetWindowTextA(control, shown.c_str());
}

}  // namespace tsl::shell
