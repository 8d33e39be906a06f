// Converting a plot file for the frame and opening metafiles into it.
#pragma once
#include <string>

#include "platform/notices.h"
#include "settings/settings_set.h"
#include "shell/reference.h"

#include "shell/frame.h"

namespace tsl::shell {

// The file named by a command line: blanks and double quotes around it
// removed. Empty when the command line names nothing.
std::string CommandLineFile(const char* commandLine);

// True for a name whose extension (from its last dot) is .EMF in any case.
bool IsMetafileName(const std::string& path);

// Converts `plotFile` into its metafile and log beside it with `settings`
// and shows the drawing in `frame`. False when nothing could be shown; the
// user has been told why.
bool DoConversion(Frame& frame, Notices& notices, const SettingsSet& settings, const std::string& plotFile);

// Shows the enhanced metafile at `path` in `frame`. False, after telling
// IDS_OPEN_METAFILE_FAILED with the system's text, when it cannot be opened.
bool DoOpenEMF(Frame& frame, Notices& notices, const std::string& path);

// Opens `logPath` in `viewer`, or with the program the shell associates
// with it when no viewer is given.
void ShowLog(HWND owner, const std::string& logPath, const char* viewer);

}  // namespace tsl::shell
