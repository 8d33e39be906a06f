// Command lines: the program's own, and those a second start hands over
// (command 1999 with a global atom); files, folders and wildcards mixed with
// switches that change the run options of the files after them.
#pragma once
#include <string>

#include "shell/metafile.h"

namespace tsl::shell {

// The timer that hands a waiting command line back to the frame.
constexpr UINT_PTR kCommandLineTimer = 1999;
constexpr UINT kCommandLineRetryMs = 2500;

// Processes the command line held in `atom`: the number of items processed
// (files converted, plus 1 for /DDE), -1 for /K. The atom is deleted.
int AutoProcess(HWND frame, ATOM atom);
// The same for a command line at hand.
int AutoProcessText(HWND frame, const std::string& text);

// Converts the files `pattern` names (a file, a wildcard or a folder): the
// number of files found. `nested` is set for the patterns of a folder,
// whose lack of matches is not reported.
int GlobFiles(HWND frame, const std::string& pattern, bool nested);

// Command 1999 with `atom`, and the program's own command line: processes
// it unless one is being processed already (then it waits its turn), and
// closes the frame after a batch unless NoAutoClose is set.
LRESULT RunCommandLine(HWND frame, ATOM atom);
LRESULT RunOwnCommandLine(HWND frame, const std::string& text);
// The retry timer went off: the waiting command lines are posted again.
void OnCommandLineTimer(HWND frame);

// A second start sends its current folder (WM_COPYDATA with this tag: the
// atom of its command line, then the folder) before the command line
// itself: names in it are relative to that folder, not to this program's.
constexpr ULONG_PTR kHandOverFolderTag = 0x544C5346;  // "FSLT"
void OnHandOverFolder(ATOM atom, const std::string& folder);

}  // namespace tsl::shell
