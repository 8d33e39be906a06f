// The printing commands of the File menu, and printing after a conversion.
#include "shell/commands.h"
#include "shell/conversion.h"
#include "shell/globals.h"
#include "shell/page_setup_dlg.h"
#include "shell/print_job.h"
#include "shell/view.h"

namespace tsl::shell {

void PrintDrawing(HWND frame) {
  PrintRequest request;
  request.metafile = ViewMetafile(frame);
  request.unattended = setOptions.Has(Unattended);
  request.autoPrint = setOptions.AutoPrint;
  FilePrint(frame, request);
}

LRESULT CmdPrint(HWND frame, unsigned, LPARAM) {
  // The menu's Print: the print dialog, whatever a batch asked before.
  PrintRequest request;
  request.metafile = ViewMetafile(frame);
  FilePrint(frame, request);
  return 0;
}

LRESULT CmdPrinterSetup(HWND frame, unsigned, LPARAM) {
  if (PrintRecord* record = GetPrintRecord(frame)) PrinterSetupDialog(record, frame);
  return 0;
}

LRESULT CmdPageSetup(HWND frame, unsigned, LPARAM) {
  if (PrintRecord* record = GetPrintRecord(frame)) MyPageSetupDlg(frame, record);
  return 0;
}

}  // namespace tsl::shell
