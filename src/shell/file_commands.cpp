// The File menu: open, view, save and exit.
#include "platform/win32/system_text.h"

#include "shell/commands.h"
#include "shell/conversion.h"
#include "shell/file_dialog.h"
#include "shell/frame.h"
#include "shell/globals.h"
#include "shell/open_special_dlg.h"
#include "shell/save_report.h"
#include "shell/view.h"
#include "shell/window_notices.h"

namespace tsl::shell {

LRESULT CmdOpenHpgl(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.sourceFile;
  if (GetFileName(frame, 40005, &path)) DoConversion(frame, path);
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
  if (!GetFileName(frame, 40011, &path)) return 0;
  std::string error;
  if (!DoOpenEMF(frame, path, &error)) NotifySE(40042, path.c_str(), error);
  return 0;
}

LRESULT CmdViewLog(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.logFile;
  if (GetFileName(frame, 40008, &path)) ShowLog(frame, path, gvGlobals.textViewer);
  return 0;
}

LRESULT CmdViewSource(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.sourceFile;
  if (GetFileName(frame, 40005, &path)) ShowLog(frame, path, gvGlobals.textViewer);
  return 0;
}

LRESULT CmdSaveEmf(HWND frame, unsigned, LPARAM) {
  std::string path = gvGlobals.metafile;
  if (!GetFileName(frame, 40014, &path)) return 0;
  HENHMETAFILE emf = ViewMetafile(frame);
  SetLastError(ERROR_INVALID_HANDLE);  // what is reported when the view is empty
  EnhMetaFile copy(emf ? CopyEnhMetaFileA(emf, path.c_str()) : nullptr);
  if (!copy) {
    NotifySE(40045, path.c_str(), win32::LastErrorText());
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
