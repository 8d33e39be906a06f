// The application-wide records of the Windows program.
#pragma once
#include <memory>
#include <string>

#include "settings/settings_set.h"
#include "shell/metafile.h"

namespace tsl::shell {

struct Globals {
  HINSTANCE instance = nullptr;
  DWORD helpCookie = 0;            // 0 until help is first used
  std::string helpFile;            // empty when there is none
  std::string sourceFile;          // the plot file of the drawing
  std::string metafile;
  std::string logFile;
  std::string exportName;          // offered to the export commands
  // The print record and the print thread are printing's own
  // (GetPrintRecord, PrintThreadRunning in print_job.h).
  bool useFolder = false;          // outputs go to `folder`
  bool outputFileGiven = false;    // `folder` is the metafile's own name
  std::string folder;
  std::string textViewer = "NOTEPAD.EXE";
  std::string ddeServiceName = "Tessella";
};

extern Globals gvGlobals;
extern SettingsSet setOptions;     // the active settings set
extern HWND hwndFrame;
extern bool flagAutoProcessing;    // a command line is being processed

// Paths are kept to what the 260-character buffers of the dialogs hold.
constexpr size_t kMaxPath = 260;

}  // namespace tsl::shell
