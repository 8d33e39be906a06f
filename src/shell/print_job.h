// Printing on Windows: one page per job, laid out by the portable page
// layout, played by GDI into the printer's device context on a thread of
// its own so that the window stays responsive while the driver works.
#pragma once
#include "platform/windows_lean.h"
#include <cderr.h>
#include <commdlg.h>

#include <cstdint>

#include "output/page_layout.h"

namespace tsl::shell {

// The print record: one per process, created on first use, kept until the
// program ends, so that the chosen printer, its settings and (in a batch)
// its device context persist between jobs.
struct PrintRecord {
  HWND owner = nullptr;  // owns the message boxes
  PageSetup setup;
  PRINTDLGA pd{};
  bool pdSetUp = false;        // pd was filled by a dialog (or its default)
  bool printerChosen = false;  // an unattended batch keeps pd as it is
  // The job that FilePrint hands to the thread.
  HENHMETAFILE metafile = nullptr;  // the thread's own copy; the thread deletes it
  bool unattended = false;
  uint16_t autoPrint = 0;  // AutoPrint bits of the run
};

// The process's print record (created on first call); nullptr when it
// cannot be made. Called on the user-interface thread only.
PrintRecord* GetPrintRecord(HWND owner);
// Frees the record and its printer data; after the print thread ended.
void FreePrintRecord();
// See ForgetChosenPrinter in print_job.cpp: before PrintDlgA with
// PD_RETURNDEFAULT.
void ForgetChosenPrinter(PRINTDLGA& pd);

// Shows the print dialog on the record the way a batch does before its
// first file (return-DC, no page numbers, no selection, and no dialog at
// all with `defaultPrinter`). False when there is no printer then.
bool ChoosePrinterForBatch(PrintRecord* record, bool defaultPrinter);
// The printer-setup dialog on the record (command 1021).
bool PrinterSetupDialog(PrintRecord* record, HWND owner);
// The device name of the record's printer; the default printer's when none
// was chosen yet; empty when there is none.
std::string PrinterName(PrintRecord* record);

struct PrintRequest {
  HENHMETAFILE metafile = nullptr;  // the drawing shown; copied here
  bool unattended = false;
  uint16_t autoPrint = 0;
};

// Starts a print job for the drawing: waits (up to six times 10 s) for a
// job still running, fills the record, and starts the print thread. The
// thread handle, or nullptr when nothing was started.
HANDLE FilePrint(HWND owner, const PrintRequest& request);

// True while a print thread runs.
bool PrintThreadRunning();
// Waits up to `ms` for the print thread, letting messages sent from it
// through (its message boxes talk to the owner window). True when no
// thread runs any more.
bool WaitForPrintThread(DWORD ms);
// On exit: waits up to 15 s, then ends a thread still running.
void EndPrintThread();

// A hook for tests: called first thing on the print thread, so that a test
// can hold it.
using PrintHook = void (*)();
void SetPrintHook(PrintHook hook);

}  // namespace tsl::shell
