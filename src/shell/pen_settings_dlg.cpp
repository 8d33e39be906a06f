#include "shell/pen_settings_dlg.h"

#include <commdlg.h>

#include <vector>

#include "common/memory.h"
#include "resources/resource_ids.h"
#include "resources/settings_ids.h"
#include "shell/dialog_placement.h"
#include "shell/globals.h"
#include "shell/settings_dlg.h"

namespace tsl::shell {

namespace {

constexpr int kPens = kConfiguredPens - 1;  // pens 1..16

struct PenDialog {
  PenScratch pens;
  COLORREF* custom;  // 16, kept while the dialog is open
};

PenDialog* StateOf(HWND dialog) { return reinterpret_cast<PenDialog*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

int ColorId(unsigned pen) { return IDC_PEN_COLOR_FIRST + static_cast<int>(pen) - 1; }
int WidthId(unsigned pen) { return IDC_PEN_WIDTH_FIRST + static_cast<int>(pen) - 1; }

void ShowPens(HWND dialog, const PenScratch& pens) {
  for (unsigned pen = 1; pen <= kPens; ++pen) {
    SetDlgItemInt(dialog, WidthId(pen), static_cast<UINT>(static_cast<int>(pens.width[pen])), TRUE);
    InvalidateRect(GetDlgItem(dialog, ColorId(pen)), nullptr, TRUE);
  }
  CheckDlgButton(dialog, IDC_PEN_IGNORE_LT, pens.ignoreLT ? BST_CHECKED : BST_UNCHECKED);
}

void DrawButton(const PenDialog& state, const DRAWITEMSTRUCT& item) {
  unsigned pen = item.CtlID - IDC_PEN_COLOR_FIRST + 1;
  HBRUSH fill = CreateSolidBrush(state.pens.color[pen]);
  FillRect(item.hDC, &item.rcItem, fill);
  DeleteObject(fill);
  FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (item.itemState & ODS_FOCUS) {
    RECT inner = item.rcItem;
    InflateRect(&inner, -3, -3);
    DrawFocusRect(item.hDC, &inner);
  }
}

void PickColor(HWND dialog, PenDialog* state, unsigned pen) {
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = dialog;
  cc.rgbResult = state->pens.color[pen];
  cc.lpCustColors = state->custom;
  cc.Flags = CC_RGBINIT;
  if (!ChooseColorA(&cc)) return;
  state->pens.color[pen] = cc.rgbResult & 0xFFFFFF;
  InvalidateRect(GetDlgItem(dialog, ColorId(pen)), nullptr, TRUE);
}

void OnOk(HWND dialog, const PenDialog& state) {
  PenScratch& scratch = PenScratchArea();
  for (unsigned pen = 1; pen <= kPens; ++pen) {
    scratch.color[pen] = state.pens.color[pen];
    BOOL ok = FALSE;
    int width = static_cast<int>(GetDlgItemInt(dialog, WidthId(pen), &ok, TRUE));
    scratch.width[pen] = LimitPenWidth(ok ? width : 0);
  }
  scratch.ignoreLT = IsDlgButtonChecked(dialog, IDC_PEN_IGNORE_LT) == BST_CHECKED;
  EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, PenDialog* state, int id) {
  if (id >= IDC_PEN_COLOR_FIRST && id < IDC_PEN_COLOR_FIRST + kPens) {
    PickColor(dialog, state, static_cast<unsigned>(id - IDC_PEN_COLOR_FIRST + 1));
    return;
  }
  switch (id) {
    case IDC_PEN_COPY_COLOR:
      for (unsigned pen = 2; pen <= kPens; ++pen) {
        state->pens.color[pen] = state->pens.color[1];
        InvalidateRect(GetDlgItem(dialog, ColorId(pen)), nullptr, TRUE);
      }
      break;
    case IDC_PEN_COPY_WIDTH: {
      char text[16] = {};
      GetDlgItemTextA(dialog, WidthId(1), text, sizeof text);
      for (unsigned pen = 2; pen <= kPens; ++pen) SetDlgItemTextA(dialog, WidthId(pen), text);
      break;
    }
    case IDC_PEN_RESET:
      ResetPens(&state->pens);
      ShowPens(dialog, state->pens);
      break;
    case IDOK: OnOk(dialog, *state); break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
  }
}

}  // namespace

INT_PTR CALLBACK PenSettingsBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  PenDialog* state = StateOf(dialog);
  switch (msg) {
    case WM_INITDIALOG:
      state = reinterpret_cast<PenDialog*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      state->pens = PenScratchArea();
      for (int i = 0; i < 16; ++i) state->custom[i] = RGB(255, 255, 255);
      for (unsigned pen = 1; pen <= kPens; ++pen) SendDlgItemMessageA(dialog, WidthId(pen), EM_LIMITTEXT, 6, 0);
      ShowPens(dialog, state->pens);
      CentreOnDesktop(dialog);
      return TRUE;
    case WM_DRAWITEM:
      if (!state) break;
      DrawButton(*state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (!state) break;
      OnCommand(dialog, state, LOWORD(wParam));
      return TRUE;
    case WM_HELP: PostMessageA(hwndFrame, WM_COMMAND, IDM_HELP_CONTEXT_FIRST, 0); return TRUE;
  }
  return FALSE;
}

bool PenSettingsBox(HWND owner) {
  // Without its custom colours the dialog counts as cancelled.
  std::vector<COLORREF> custom;
  if (!TryResize(custom, 16)) return false;
  PenDialog state{PenScratch{}, custom.data()};
  return DialogBoxParamA(gvGlobals.instance, MAKEINTRESOURCEA(IDD_PEN_SETTINGS), owner, PenSettingsBoxProc,
                         reinterpret_cast<LPARAM>(&state)) == IDOK;
}

}  // namespace tsl::shell
