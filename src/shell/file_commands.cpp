// The File menu: open, view, save and exit.
#include "resources/string_ids.h"
#include "platform/win32/system_text.h"

#include "shell/commands.h"
#include "shell/conversion.h"
#include "shell/file_dialog.h"
#include "shell/frame.h"
#include "shell/globals.h"
#include "shell/open_with_options_dlg.h"
#include "shell/save_report.h"
#include "shell/view.h"
#include "shell/window_notices.h"

namespace tsl::shell {

LRESULT CmdOpenHpgl(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.sourceFile;
  if (GetFileName(frame, IDS_OPEN_PLOT_TITLE, &path)) DoConversion(frame, path);
  SetCaption(frame);
  return 0;
}

LRESULT CmdOpenSpecial(HWND frame, unsigned, LPARAM) {
  // The special options apply to this one conversion only.
  SettingsSet saved = setOptions;
  std::string path = gvGlobals.sourceFile;
  if (OpenHPGLSpecial(frame, &path, &setOptions)) DoConversion(frame, path);
  setOptions = saved;
  SetCaption(frame);
  return 0;
}

LRESULT CmdOpenMetafile(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.metafile;
  if (!GetFileName(frame, IDS_OPEN_METAFILE_TITLE, &path)) return 0;
  std::string error;
  if (!DoOpenEMF(frame, path, &error)) NotifySE(IDS_OPEN_METAFILE_FAILED, path, error);
  return 0;
}

LRESULT CmdViewLog(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.logFile;
  if (GetFileName(frame, IDS_OPEN_LOG_TITLE, &path)) ShowLog(frame, path, gvGlobals.textViewer);
  return 0;
}

LRESULT CmdViewSource(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.sourceFile;
  if (GetFileName(frame, IDS_OPEN_PLOT_TITLE, &path)) ShowLog(frame, path, gvGlobals.textViewer);
  return 0;
}

LRESULT CmdSaveEmf(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.metafile;
  if (!GetFileName(frame, IDS_SAVE_METAFILE_TITLE, &path)) return 0;
  HENHMETAFILE emf = ViewMetafile(frame);
  SetLastError(ERROR_INVALID_HANDLE);  // what is reported when the view is empty
  EnhMetaFile copy(emf ? CopyEnhMetaFileA(emf, path.c_str()) : nullptr);
  if (!copy) {
    NotifySE(IDS_WRITE_METAFILE_FAILED, path, win32::LastErrorText());
    return 0;
  }
  copy.Reset();  // closes the file before it is measured
  ReportSaveComplete(frame, path);
  return 0;
}

LRESULT CmdExit(HWND frame, unsigned, LPARAM) {
  DestroyWindow(frame);
  return 0;
}

LRESULT CmdReconvert(HWND frame, unsigned, LPARAM) {
  if (gvGlobals.sourceFile.empty()) return 0;
  int done = DoConversion(frame, gvGlobals.sourceFile);
  SetCaption(frame);
  return done;
}

}  // namespace tsl::shell
