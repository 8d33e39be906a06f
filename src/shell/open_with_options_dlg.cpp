#include "resources/string_ids.h"
#include "shell/open_with_options_choice.h"

#include "resources/resource_ids.h"
#include "shell/dialog_placement.h"
#include "shell/file_dialog.h"
#include "shell/globals.h"
#include "shell/open_with_options_dlg.h"

namespace tsl::shell {

namespace {

// What the dialog remembers for the lifetime of the program.
uint32_t gRemembered = kNoChoice;
float gRememberedScale = 100;

struct DialogData {
  std::string* path;
  SettingsSet* set;
};

constexpr int kRadios[] = {IDC_SPECIAL_ROT_0, IDC_SPECIAL_ROT_90, IDC_SPECIAL_ROT_180, IDC_SPECIAL_ROT_270};

int RadioOf(unsigned rotation) {
  switch (rotation) {
    case 90: return IDC_SPECIAL_ROT_90;
    case 180: return IDC_SPECIAL_ROT_180;
    case 270: return IDC_SPECIAL_ROT_270;
    default: return IDC_SPECIAL_ROT_0;
  }
}

void EnableRadios(HWND dialog) {
  BOOL fix = IsDlgButtonChecked(dialog, IDC_SPECIAL_FIX_ROTATION) == BST_CHECKED;
  for (int id : kRadios) EnableWindow(GetDlgItem(dialog, id), fix);
}

std::string ItemText(HWND dialog, int id) {
  char text[kMaxPath] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void OnInit(HWND dialog, const DialogData& data) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&data));
  SpecialChoice c = InitialChoice(gRemembered, gRememberedScale, *data.set);
  SendDlgItemMessageA(dialog, IDC_SPECIAL_FILE, EM_LIMITTEXT, kMaxPath - 1, 0);
  SetDlgItemTextA(dialog, IDC_SPECIAL_FILE, data.path->c_str());
  EnableWindow(GetDlgItem(dialog, IDOK), !data.path->empty());
  CheckDlgButton(dialog, IDC_SPECIAL_FIX_ROTATION, c.fixRotation ? BST_CHECKED : BST_UNCHECKED);
  CheckRadioButton(dialog, IDC_SPECIAL_ROT_90, IDC_SPECIAL_ROT_0, RadioOf(c.rotation));
  EnableRadios(dialog);
  CheckDlgButton(dialog, IDC_SPECIAL_MIRROR_X, c.mirrorX ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_SPECIAL_MIRROR_Y, c.mirrorY ? BST_CHECKED : BST_UNCHECKED);
  for (const char* item : kScaleItems)
    SendDlgItemMessageA(dialog, IDC_SPECIAL_SCALE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SetDlgItemTextA(dialog, IDC_SPECIAL_SCALE, ScaleText(c.scale).c_str());
  CentreOnDesktop(dialog);
}

void OnBrowse(HWND dialog) {
  std::string path = ItemText(dialog, IDC_SPECIAL_FILE);
  if (!GetFileName(dialog, IDS_OPEN_PLOT_TITLE, &path)) return;
  SetDlgItemTextA(dialog, IDC_SPECIAL_FILE, path.c_str());
  EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
}

void OnOk(HWND dialog, const DialogData& data) {
  *data.path = ItemText(dialog, IDC_SPECIAL_FILE);
  SpecialChoice c;
  c.fixRotation = IsDlgButtonChecked(dialog, IDC_SPECIAL_FIX_ROTATION) == BST_CHECKED;
  c.rotation = IsDlgButtonChecked(dialog, IDC_SPECIAL_ROT_90)    ? 90
               : IsDlgButtonChecked(dialog, IDC_SPECIAL_ROT_180) ? 180
               : IsDlgButtonChecked(dialog, IDC_SPECIAL_ROT_270) ? 270
                                                                 : 0;
  c.mirrorX = IsDlgButtonChecked(dialog, IDC_SPECIAL_MIRROR_X) == BST_CHECKED;
  c.mirrorY = IsDlgButtonChecked(dialog, IDC_SPECIAL_MIRROR_Y) == BST_CHECKED;
  c.scale = ScaleFromText(ItemText(dialog, IDC_SPECIAL_SCALE), data.set->ScalePercent);
  ApplyChoice(c, data.set);
  gRemembered = PackChoice(c);
  gRememberedScale = c.scale;
  EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK OpenSpecialDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<const DialogData*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: OnInit(dialog, *reinterpret_cast<const DialogData*>(lParam)); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_SPECIAL_FIX_ROTATION: EnableRadios(dialog); return TRUE;
        case IDC_SPECIAL_BROWSE: OnBrowse(dialog); return TRUE;
        case IDC_SPECIAL_FILE:
          // A name typed in makes OK available, as one browsed for does.
          if (HIWORD(wParam) == EN_CHANGE)
            EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthA(GetDlgItem(dialog, IDC_SPECIAL_FILE)) > 0);
          return TRUE;
        case IDOK:
          if (data) OnOk(dialog, *data);
          return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
      }
      break;
  }
  return FALSE;
}

bool OpenHPGLSpecial(HWND frame, std::string* path, SettingsSet* set) {
  DialogData data{path, set};
  return DialogBoxParamA(gvGlobals.instance, MAKEINTRESOURCEA(IDD_OPEN_SPECIAL), frame, OpenSpecialDlgProc,
                         reinterpret_cast<LPARAM>(&data)) == IDOK;
}

}  // namespace tsl::shell
