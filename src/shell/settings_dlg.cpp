#include "shell/settings_dlg.h"

#include <commdlg.h>

#include <cstring>

#include "resources/resource_ids.h"
#include "resources/settings_ids.h"
#include "resources/string_ids.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"
#include "shell/dialog_placement.h"
#include "shell/globals.h"
#include "shell/pen_settings_dlg.h"
#include "shell/window_notices.h"

namespace tsl::shell {

namespace {

PenScratch gPens;

// The controls of an open dialog.
class DialogControls : public SettingsControls {
 public:
  explicit DialogControls(HWND dialog) : d_(dialog) {}
  bool Checked(int id) const override { return IsDlgButtonChecked(d_, id) == BST_CHECKED; }
  void Check(int id, bool on) override { CheckDlgButton(d_, id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Enable(int id, bool on) override { EnableWindow(GetDlgItem(d_, id), on); }
  std::string Text(int id) const override {
    char text[kMaxPath] = {};
    GetDlgItemTextA(d_, id, text, sizeof text);
    return text;
  }
  void SetText(int id, const std::string& text) override { SetDlgItemTextA(d_, id, text.c_str()); }
  long Number(int id) const override {
    BOOL ok = FALSE;
    int n = static_cast<int>(GetDlgItemInt(d_, id, &ok, TRUE));
    return ok ? n : 0;
  }
  void SetNumber(int id, long value) override { SetDlgItemInt(d_, id, static_cast<UINT>(value), TRUE); }
  std::string Selection(int id) const override {
    LRESULT i = SendDlgItemMessageA(d_, id, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR) return std::string();
    LRESULT n = SendDlgItemMessageA(d_, id, CB_GETLBTEXTLEN, i, 0);
    if (n == CB_ERR) return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    SendDlgItemMessageA(d_, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    return text.c_str();
  }
  void SelectExact(int id, const std::string& text) override {
    LRESULT i = SendDlgItemMessageA(d_, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    SendDlgItemMessageA(d_, id, CB_SETCURSEL, i == CB_ERR ? static_cast<WPARAM>(-1) : i, 0);
  }
  void SelectPrefix(int id, const std::string& prefix) override {
    SendDlgItemMessageA(d_, id, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix.c_str()));
  }

 private:
  HWND d_;
};

SettingsSet* SetOf(HWND dialog) { return reinterpret_cast<SettingsSet*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

bool Ask(unsigned id, const std::string& arg) {
  Notice n = MakeNotice(id, {arg}, NoticeIcon::Question);
  n.buttons = NoticeButtons::YesNo;
  return WindowNotices().Tell(n) == NoticeAnswer::Yes;
}

void SetToDlg(HWND dialog, const SettingsSet& set) {
  DialogControls controls(dialog);
  shell::SetToDlg(controls, set, &gPens);
  InvalidateRect(dialog, nullptr, TRUE);
}

SettingsSet DlgToSet(HWND dialog) {
  SettingsSet set;
  shell::DlgToSet(DialogControls(dialog), gPens, &set);
  return set;
}

void AddName(HWND dialog, const std::string& name) {
  SendDlgItemMessageA(dialog, IDC_SET_NAME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void InitSettingsBox(HWND dialog, const SettingsSet& set) {
  for (const std::string& name : SetListNames(SettingsSectionNames())) AddName(dialog, name);
  for (const PaperPreset& p : kPaperPresets)
    SendDlgItemMessageA(dialog, IDC_SET_PAPER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.item));
  SendDlgItemMessageA(dialog, IDC_SET_FONT, EM_LIMITTEXT, kMaxFaceName, 0);
  SendDlgItemMessageA(dialog, IDC_SET_MARGIN, EM_LIMITTEXT, 5, 0);
  SetToDlg(dialog, set);
}

void UpdateSettingsBox(HWND dialog, const std::string& name) {
  SettingsSet set;
  ReadIniFile(WindowNotices(), &set, name.c_str());
  SetToDlg(dialog, set);
}

void DoApply(HWND dialog) {
  *SetOf(dialog) = DlgToSet(dialog);
  if (gvGlobals.sourceFile.empty()) return;
  if (Ask(IDS_REPROCESS_QUESTION, std::string())) {
    SendMessageA(hwndFrame, WM_COMMAND, IDM_RECONVERT, 0);
    SetFocus(dialog);
  }
}

INT_PTR CALLBACK SaveAsBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      // No longer than a set's name can be, so that what is typed is what
      // is saved.
      SendDlgItemMessageA(dialog, IDC_SAVEAS_NAME, EM_LIMITTEXT, kMaxSetName, 0);
      CentreOnDesktop(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char text[64] = {};
        GetDlgItemTextA(dialog, IDC_SAVEAS_NAME, text, sizeof text);
        *reinterpret_cast<std::string*>(GetWindowLongPtrA(dialog, DWLP_USER)) = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

bool SaveAsBox(HWND dialog, std::string* name) {
  return DialogBoxParamA(gvGlobals.instance, "SAVEASBOX", dialog, SaveAsBoxProc, reinterpret_cast<LPARAM>(name)) ==
         IDOK;
}

void DoSaveAs(HWND dialog) {
  std::string typed;
  if (!SaveAsBox(dialog, &typed)) return;
  std::string name = NormalizeSetName(typed);
  if (name.empty()) return;
  if (!IsValidSetName(name)) {
    Notify(IDS_BAD_SET_NAME, name);
    return;
  }
  LRESULT found = SendDlgItemMessageA(dialog, IDC_SET_NAME, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(name.c_str()));
  if (found != CB_ERR && !Ask(IDS_REPLACE_SET_QUESTION, name)) return;
  if (!SaveSet(WindowNotices(), DlgToSet(dialog), name.c_str())) return;
  if (found == CB_ERR) AddName(dialog, name);
  DialogControls(dialog).SelectExact(IDC_SET_NAME, name);
}

void DoDelete(HWND dialog) {
  std::string name = DialogControls(dialog).Selection(IDC_SET_NAME);
  if (name.empty() || !Ask(IDS_REMOVE_SET_QUESTION, name)) return;
  if (!DeleteSet(WindowNotices(), name)) return;
  LRESULT i = SendDlgItemMessageA(dialog, IDC_SET_NAME, CB_GETCURSEL, 0, 0);
  SendDlgItemMessageA(dialog, IDC_SET_NAME, CB_DELETESTRING, i, 0);
  // The list always offers a set to save into.
  if (SendDlgItemMessageA(dialog, IDC_SET_NAME, CB_GETCOUNT, 0, 0) <= 0) AddName(dialog, kDefaultSetName);
  SendDlgItemMessageA(dialog, IDC_SET_NAME, CB_SETCURSEL, 0, 0);
  UpdateSettingsBox(dialog, DialogControls(dialog).Selection(IDC_SET_NAME));
}

void CopyFont(const gdi::LogFont& from, LOGFONTA* to) {
  *to = LOGFONTA{};
  to->lfHeight = from.lfHeight;
  to->lfWeight = from.lfWeight;
  to->lfCharSet = from.lfCharSet;
  to->lfPitchAndFamily = from.lfPitchAndFamily;
  std::memcpy(to->lfFaceName, from.lfFaceName, sizeof to->lfFaceName);
  to->lfFaceName[sizeof to->lfFaceName - 1] = '\0';
}

void SelectFont(HWND dialog) {
  SettingsSet set = DlgToSet(dialog);
  LOGFONTA font;
  CopyFont(set.Font, &font);
  if (!font.lfFaceName[0]) std::strcpy(font.lfFaceName, "Courier New");
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = dialog;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
  if (ChooseFontA(&cf)) SetDlgItemTextA(dialog, IDC_SET_FONT, font.lfFaceName);
}

void OnCommand(HWND dialog, int id, int code) {
  DialogControls controls(dialog);
  switch (id) {
    case IDC_SET_NAME:
      if (code == CBN_SELCHANGE) {
        std::string name = controls.Selection(IDC_SET_NAME);
        UpdateSettingsBox(dialog, name.empty() ? kDefaultSetName : name);
      }
      break;
    case IDC_SET_FRAME_MARGIN:
    case IDC_SET_FRAME_PAPER: controls.Enable(IDC_SET_MARGIN, controls.Checked(IDC_SET_FRAME_MARGIN)); break;
    case IDC_SET_DRAW_CHARS: controls.Enable(IDC_SET_SELECT_FONT, !controls.Checked(IDC_SET_DRAW_CHARS)); break;
    case IDC_SET_SELECT_FONT: SelectFont(dialog); break;
    case IDC_SET_PENS: PenSettingsBox(dialog); break;
    case IDC_SET_SAVE_AS: DoSaveAs(dialog); break;
    case IDC_SET_DELETE: DoDelete(dialog); break;
    case IDC_SET_APPLY: DoApply(dialog); break;
    case IDOK: {
      std::string name = controls.Selection(IDC_SET_NAME);
      if (!name.empty()) SaveSet(WindowNotices(), DlgToSet(dialog), name.c_str());
      DoApply(dialog);
      EndDialog(dialog, IDOK);
      break;
    }
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
  }
}

}  // namespace

PenScratch& PenScratchArea() { return gPens; }

INT_PTR CALLBACK SettingsBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      InitSettingsBox(dialog, *reinterpret_cast<SettingsSet*>(lParam));
      CentreOnDesktop(dialog);
      return TRUE;
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_HELP: PostMessageA(hwndFrame, WM_COMMAND, IDM_HELP_CONTEXT_FIRST, 0); return TRUE;
  }
  return FALSE;
}

bool SettingsBox(HWND owner, SettingsSet* set) {
  return DialogBoxParamA(gvGlobals.instance, "SETTINGS", owner, SettingsBoxProc, reinterpret_cast<LPARAM>(set)) ==
         IDOK;
}

}  // namespace tsl::shell
