#include "shell/preferences_dlg.h"

#include <shlobj.h>

#include "platform/win32/system_text.h"
#include "resources/resource_ids.h"
#include "resources/settings_ids.h"
#include "resources/string_ids.h"
#include "settings/settings_registry.h"
#include "shell/association_text.h"
#include "shell/associations.h"
#include "shell/dialog_placement.h"
#include "shell/file_dialog.h"
#include "shell/globals.h"
#include "shell/window_notices.h"

namespace tsl::shell {

namespace {

struct Preferences {
  bool useFolder = false;
  std::string folder;
  std::string textViewer;
  bool checkedAtOpen[3] = {};
};

struct Extension {
  const char* name;
  int box, owner;
};
// In the order OK handles them.
constexpr Extension kExtensions[] = {
    {".plt", IDC_PREF_PLT, IDC_PREF_PLT_OWNER},
    {".hpg", IDC_PREF_HPG, IDC_PREF_HPG_OWNER},
    {".hgl", IDC_PREF_HGL, IDC_PREF_HGL_OWNER},
};

Preferences* PrefsOf(HWND dialog) { return reinterpret_cast<Preferences*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

std::string ItemText(HWND dialog, int id) {
  char text[kMaxPath] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

void EnableFolder(HWND dialog) {
  BOOL own = IsDlgButtonChecked(dialog, IDC_PREF_OWN_FOLDER) == BST_CHECKED;
  EnableWindow(GetDlgItem(dialog, IDC_PREF_FOLDER), own);
  EnableWindow(GetDlgItem(dialog, IDC_PREF_BROWSE_FOLDER), own);
}

void OnInit(HWND dialog, Preferences* prefs) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(prefs));
  CheckRadioButton(dialog, IDC_PREF_SOURCE_FOLDER, IDC_PREF_OWN_FOLDER,
                   prefs->useFolder ? IDC_PREF_OWN_FOLDER : IDC_PREF_SOURCE_FOLDER);
  SendDlgItemMessageA(dialog, IDC_PREF_FOLDER, EM_LIMITTEXT, kMaxPath - 1, 0);
  SendDlgItemMessageA(dialog, IDC_PREF_VIEWER, EM_LIMITTEXT, kMaxPath - 1, 0);
  SetDlgItemTextA(dialog, IDC_PREF_FOLDER, prefs->folder.c_str());
  SetDlgItemTextA(dialog, IDC_PREF_VIEWER, prefs->textViewer.c_str());
  EnableFolder(dialog);
  for (size_t i = 0; i < 3; ++i) {
    std::string description = GetAssociation(kExtensions[i].name);
    SetDlgItemTextA(dialog, kExtensions[i].owner, description.c_str());
    prefs->checkedAtOpen[i] = IsOurDescription(description);
    CheckDlgButton(dialog, kExtensions[i].box, prefs->checkedAtOpen[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  CentreOnDesktop(dialog);
}

void BrowseFolder(HWND dialog) {
  std::string title;
  if (!win32::LoadResString(nullptr, IDS_SELECT_OUTPUT_FOLDER, &title)) title.clear();
  char display[MAX_PATH] = {};
  BROWSEINFOA bi{};
  bi.hwndOwner = dialog;
  bi.pszDisplayName = display;
  bi.lpszTitle = title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&bi);
  if (!pidl) return;
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(pidl, path)) SetDlgItemTextA(dialog, IDC_PREF_FOLDER, path);
  CoTaskMemFree(pidl);
}

void BrowseViewer(HWND dialog) {
  std::string path = ItemText(dialog, IDC_PREF_VIEWER);
  if (GetFileName(dialog, IDS_SELECT_VIEWER_TITLE, &path)) SetDlgItemTextA(dialog, IDC_PREF_VIEWER, path.c_str());
}

void SetPreferences(HWND dialog, Preferences* prefs) {
  prefs->useFolder = IsDlgButtonChecked(dialog, IDC_PREF_OWN_FOLDER) == BST_CHECKED;
  prefs->folder = prefs->useFolder ? ItemText(dialog, IDC_PREF_FOLDER) : std::string();
  prefs->textViewer = ItemText(dialog, IDC_PREF_VIEWER);
  std::string program = ProgramPath();
  for (size_t i = 0; i < 3; ++i) {
    bool checked = IsDlgButtonChecked(dialog, kExtensions[i].box) == BST_CHECKED;
    switch (StepFor(checked, prefs->checkedAtOpen[i])) {
      case AssociationStep::Associate: Associate(kExtensions[i].name, kProgramId, program); break;
      case AssociationStep::Unassociate: Unassociate(kExtensions[i].name); break;
      case AssociationStep::None: break;
    }
  }
  // The shell shows the new icons and openers; a window that hangs does not
  // hold the dialog up.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Extensions"),
                      SMTO_ABORTIFHUNG, 2000, &result);
  EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK PreferencesBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: OnInit(dialog, reinterpret_cast<Preferences*>(lParam)); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PREF_SOURCE_FOLDER:
        case IDC_PREF_OWN_FOLDER: EnableFolder(dialog); return TRUE;
        case IDC_PREF_BROWSE_FOLDER: BrowseFolder(dialog); return TRUE;
        case IDC_PREF_BROWSE_VIEWER: BrowseViewer(dialog); return TRUE;
        case IDOK:
          if (Preferences* prefs = PrefsOf(dialog)) SetPreferences(dialog, prefs);
          return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
      }
      break;
    case WM_HELP: PostMessageA(hwndFrame, WM_COMMAND, IDM_HELP_CONTEXT_FIRST + 2, 0); return TRUE;
  }
  return FALSE;
}

bool PreferencesBox(HWND owner) {
  Preferences prefs;
  prefs.useFolder = gvGlobals.useFolder;
  prefs.folder = gvGlobals.folder;
  prefs.textViewer = gvGlobals.textViewer;
  if (DialogBoxParamA(gvGlobals.instance, MAKEINTRESOURCEA(IDD_PREFERENCES), owner, PreferencesBoxProc,
                      reinterpret_cast<LPARAM>(&prefs)) != IDOK)
    return false;
  gvGlobals.useFolder = prefs.useFolder;
  gvGlobals.folder = prefs.folder;
  gvGlobals.textViewer = prefs.textViewer;
  Notices& notices = WindowNotices();
  SettingsBatch batch(notices);
  WriteSettingsInt(notices, nullptr, "UseFolder", prefs.useFolder ? 1 : 0);
  WriteSettingsString(notices, nullptr, "Folder", prefs.folder.c_str());
  WriteSettingsString(notices, nullptr, "TextViewer", prefs.textViewer.c_str());
  batch.Commit();
  return true;
}

}  // namespace tsl::shell
