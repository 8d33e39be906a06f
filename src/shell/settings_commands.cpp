// The settings commands: Preferences, Options, and the settings file's
// export and import.
#include "platform/win32/system_text.h"
#include "resources/resource_ids.h"
#include "resources/string_ids.h"
#include "settings/settings_file.h"
#include "shell/commands.h"
#include "shell/file_dialog.h"
#include "shell/globals.h"
#include "shell/preferences_dlg.h"
#include "shell/settings_dlg.h"
#include "shell/window_notices.h"

namespace tsl::shell {

namespace {

std::string Text(unsigned id, const char* fallback) {
  std::string text;
  if (!win32::LoadResString(nullptr, id, &text)) text = fallback;
  return text;
}

void EditExportSettings(HWND frame) {
  std::string path;
  if (GetFileName(frame, IDS_EXPORT_SETTINGS_TITLE, &path)) ExportSettings(WindowNotices(), path.c_str());
}

void EditImportSettings(HWND frame) {
  std::string path;
  if (!GetFileName(frame, IDS_IMPORT_SETTINGS_TITLE, &path)) return;
  int answer = MessageBoxA(frame, Text(IDS_REPLACE_SETTINGS_QUESTION, "Replace your existing settings?").c_str(),
                           Text(IDS_REPLACE_SETTINGS_CAPTION, "Tessella").c_str(),
                           MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION);
  if (answer == IDCANCEL) return;
  // A failed import was told already; it is not followed by "imported".
  if (!ImportSettings(WindowNotices(), path.c_str(), answer == IDYES)) return;
  if (MessageBoxA(frame, Text(IDS_IMPORT_DONE_QUESTION, "Open the Options window?").c_str(),
                  Text(IDS_IMPORT_DONE_CAPTION, "Tessella").c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES)
    SettingsBox(frame, &setOptions);
}

}  // namespace

LRESULT CmdPreferences(HWND frame, unsigned, LPARAM) { return PreferencesBox(frame); }

LRESULT CmdOptions(HWND frame, unsigned, LPARAM) { return SettingsBox(frame, &setOptions); }

LRESULT CmdSettingsFile(HWND frame, unsigned id, LPARAM) {
  if (id == IDM_EXPORT_SETTINGS)
    EditExportSettings(frame);
  else
    EditImportSettings(frame);
  return 0;
}

}  // namespace tsl::shell
