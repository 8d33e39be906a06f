// Converting plot files for the window and opening metafiles into it: the
// one path for Open HP-GL, dropped files and the command line.
#pragma once
#include <string>

#include "shell/metafile.h"

#include <shellapi.h>

namespace tsl::shell {

// Converts `path` with the active set into its metafile and log (beside it,
// into the output folder or into the output file given), shows the drawing
// and copies, exports and prints it as the run options ask. With the
// AutoPrint bit for metafiles, `path` is a metafile to open and print
// instead. 1 when a conversion (or a metafile print) took place, else 0.
int DoConversion(HWND frame, const std::string& path);

// True while a conversion runs (its closing message may be up).
bool ConversionRunning();

// Shows the metafile at `path` (EMF, EMZ, WMF, placeable WMF): 1 when it
// was loaded and shown, else 0 (the caller tells the user).
int DoOpenEMF(HWND frame, const std::string& path, std::string* error = nullptr);

// The dropped-files message: each file in drop order, as DoConversion.
void DropFiles(HWND frame, HDROP drop);

// Opens `logPath` in `viewer`, or with the program the shell associates
// with it when no viewer is given.
void ShowLog(HWND owner, const std::string& logPath, const std::string& viewer);

// The automatic export after a command-line conversion (AutoExport): PNG,
// then JPEG, then BMP of the view's metafile beside the export name.
int FileExportAs(HWND frame);
// Prints the view's drawing with the run options of the active set (a
// batch's printer, unattended, AutoPrint).
void PrintDrawing(HWND frame);

}  // namespace tsl::shell
