#include "resources/resource_ids.h"
#include "shell/commands.h"

namespace tsl::shell {

namespace {

constexpr CommandEntry kCommands[] = {
    {IDM_OPEN_HPGL, IDM_OPEN_HPGL, CmdOpenHpgl},
    {IDM_OPEN_SPECIAL, IDM_OPEN_SPECIAL, CmdOpenSpecial},
    {IDM_OPEN_METAFILE, IDM_OPEN_METAFILE, CmdOpenMetafile},
    {IDM_VIEW_LOG, IDM_VIEW_LOG, CmdViewLog},
    {IDM_VIEW_SOURCE, IDM_VIEW_SOURCE, CmdViewSource},
    {IDM_SAVE_EMF, IDM_SAVE_EMF, CmdSaveEmf},
    {IDM_EXPORT_AS, IDM_EXPORT_AS, CmdNotAvailableYet},
    {IDM_SAVE_EMZ, IDM_SAVE_EMZ, CmdNotAvailableYet},
    {IDM_PRINT, IDM_PRINT, CmdPrint},
    {IDM_PRINTER_SETUP, IDM_PRINTER_SETUP, CmdPrinterSetup},
    {IDM_PAGE_SETUP, IDM_PAGE_SETUP, CmdPageSetup},
    {IDM_PREFERENCES, IDM_PREFERENCES, CmdNotAvailableYet},
    {IDM_EXIT, IDM_EXIT, CmdExit},
    {IDM_COPY, IDM_COPY, CmdCopy},
    {IDM_PASTE, IDM_PASTE, CmdPaste},
    {IDM_CLEAR, IDM_CLEAR, CmdClear},
    {IDM_OPTIONS, IDM_OPTIONS, CmdNotAvailableYet},
    {IDM_EXPORT_SETTINGS, IDM_IMPORT_SETTINGS, CmdNotAvailableYet},
    {IDM_HELP_CONTENTS, IDM_HELP_SEARCH, CmdHelp},
    {IDM_HELP_CONTEXT_FIRST, IDM_HELP_CONTEXT_LAST, CmdHelp},
    {IDM_ABOUT, IDM_ABOUT, CmdAbout},
    {IDM_CHECK_UPDATES, IDM_CHECK_UPDATES, CmdCheckUpdates},
    {IDM_FIT_WINDOW, IDM_NORMAL_VIEW, CmdZoom},
    {IDM_ZOOM_IN, IDM_ZOOM_8, CmdZoom},
    {IDM_ZOOM_OUT, IDM_ZOOM_1_8, CmdZoom},
    {IDM_SHRINK_WRAP, IDM_SHRINK_WRAP, CmdShrinkWrap},
    {IDM_SCROLL_PAGE_DOWN, IDM_SCROLL_LINE_RIGHT, CmdScroll},
    {IDM_RECONVERT, IDM_RECONVERT, CmdReconvert},
    {IDM_COMMAND_LINE, IDM_COMMAND_LINE, CmdCommandLine},
};

}  // namespace

bool RunCommand(HWND frame, unsigned id, LPARAM lParam, LRESULT* result) {
  for (const CommandEntry& e : kCommands) {
    if (id >= e.first && id <= e.last) {
      *result = e.run(frame, id, lParam);
      return true;
    }
  }
  return false;
}

}  // namespace tsl::shell
