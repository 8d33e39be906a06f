// The frame's commands: one table from command IDs to the functions that
// carry them out, each family in a file of its own. A later feature takes
// over its IDs by pointing their entry at its own function.
#pragma once
#include "shell/metafile.h"

namespace tsl::shell {

using CommandFn = LRESULT (*)(HWND frame, unsigned id, LPARAM lParam);

struct CommandEntry {
  unsigned first, last;  // the IDs it serves, inclusive
  CommandFn run;
};

// Carries out command `id`; false (and *result untouched) when no entry
// serves it.
bool RunCommand(HWND frame, unsigned id, LPARAM lParam, LRESULT* result);

// File commands (file_commands.cpp).
LRESULT CmdOpenHpgl(HWND frame, unsigned id, LPARAM);
LRESULT CmdOpenSpecial(HWND frame, unsigned id, LPARAM);
LRESULT CmdOpenMetafile(HWND frame, unsigned id, LPARAM);
LRESULT CmdViewLog(HWND frame, unsigned id, LPARAM);
LRESULT CmdViewSource(HWND frame, unsigned id, LPARAM);
LRESULT CmdSaveEmf(HWND frame, unsigned id, LPARAM);
LRESULT CmdExit(HWND frame, unsigned id, LPARAM);
LRESULT CmdReconvert(HWND frame, unsigned id, LPARAM);

// Save As EMZ (emz_command.cpp) and Export As (export_commands.cpp).
LRESULT CmdSaveEmz(HWND frame, unsigned id, LPARAM);
LRESULT CmdExportAs(HWND frame, unsigned id, LPARAM);

// Edit commands (edit_commands.cpp).
LRESULT CmdCopy(HWND frame, unsigned id, LPARAM);
LRESULT CmdPaste(HWND frame, unsigned id, LPARAM);
LRESULT CmdClear(HWND frame, unsigned id, LPARAM);

// View commands (view_commands.cpp).
LRESULT CmdZoom(HWND frame, unsigned id, LPARAM);
LRESULT CmdShrinkWrap(HWND frame, unsigned id, LPARAM);
LRESULT CmdScroll(HWND frame, unsigned id, LPARAM);

// Printing (print_commands.cpp).
LRESULT CmdPrint(HWND frame, unsigned id, LPARAM);
LRESULT CmdPrinterSetup(HWND frame, unsigned id, LPARAM);
LRESULT CmdPageSetup(HWND frame, unsigned id, LPARAM);

// Help, About and the version check (help_commands.cpp).
LRESULT CmdHelp(HWND frame, unsigned id, LPARAM);
LRESULT CmdAbout(HWND frame, unsigned id, LPARAM);
LRESULT CmdCheckUpdates(HWND frame, unsigned id, LPARAM);

// The command line (batch.cpp).
LRESULT CmdCommandLine(HWND frame, unsigned id, LPARAM atom);

// Settings (settings_commands.cpp).
LRESULT CmdPreferences(HWND frame, unsigned id, LPARAM);
LRESULT CmdOptions(HWND frame, unsigned id, LPARAM);
LRESULT CmdSettingsFile(HWND frame, unsigned id, LPARAM);

}  // namespace tsl::shell
