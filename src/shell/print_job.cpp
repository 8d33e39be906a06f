#include "shell/print_job.h"

#include <memory>
#include <string>

#include "shell/print_page.h"

namespace tsl::shell {

namespace {

std::unique_ptr<PrintRecord> gRecord;
HANDLE gThread = nullptr;  // the running print thread; only this thread's owner touches it
DWORD gThreadId = 0;

constexpr DWORD kPrintDlgFlags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION;  // 0x10C

void ResetDialog(PrintRecord* r, HWND owner, DWORD flags) {
  r->pd.lStructSize = sizeof(PRINTDLGA);  // 66 bytes
  r->pd.hwndOwner = owner;
  r->pd.hInstance = GetModuleHandleA(nullptr);
  r->pd.Flags = flags;
}

// The thread's handle is closed here once it ended.
void Reap() {
  if (gThread && WaitForSingleObject(gThread, 0) == WAIT_OBJECT_0) {
    CloseHandle(gThread);
    gThread = nullptr;
    gThreadId = 0;
  }
}

DWORD WINAPI PrintThreadProc(void* param) {
  HMODULE gdi = LoadLibraryA("GDI32.DLL");
  DWORD code = PrintMetaFile(static_cast<PrintRecord*>(param), gdi);
  if (gdi) FreeLibraryAndExitThread(gdi, code);
  return code;
}

}  // namespace

// PrintDlgA refuses PD_RETURNDEFAULT (PDERR_RETDEFFAILURE) while a printer
// chosen earlier is kept: asking for the default, forget that one first,
// rather than falling back to showing the dialog.
void ForgetChosenPrinter(PRINTDLGA& pd) {
  if (!(pd.Flags & PD_RETURNDEFAULT)) return;
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  pd.hDevMode = pd.hDevNames = nullptr;
}

PrintRecord* GetPrintRecord(HWND owner) {
  if (!gRecord) {
    gRecord = std::make_unique<PrintRecord>();
    ResetDialog(gRecord.get(), owner, kPrintDlgFlags | PD_RETURNDEFAULT);
  }
  if (owner) gRecord->owner = owner;
  return gRecord.get();
}

void FreePrintRecord() {
  if (!gRecord || PrintThreadRunning()) return;
  PRINTDLGA& pd = gRecord->pd;
  if (pd.hDC) DeleteDC(pd.hDC);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (gRecord->metafile) DeleteEnhMetaFile(gRecord->metafile);
  gRecord.reset();
}

bool ChoosePrinterForBatch(PrintRecord* r, bool defaultPrinter) {
  ResetDialog(r, r->owner, kPrintDlgFlags | (defaultPrinter ? PD_RETURNDEFAULT : 0));
  if (r->pd.hDC) {
    DeleteDC(r->pd.hDC);
    r->pd.hDC = nullptr;
  }
  // With the default printer no dialog may appear: an unattended batch has
  // nobody to answer it.
  ForgetChosenPrinter(r->pd);
  BOOL ok = PrintDlgA(&r->pd);
  r->pdSetUp = ok != FALSE;
  return ok && r->pd.hDC;
}

bool PrinterSetupDialog(PrintRecord* r, HWND owner) {
  ResetDialog(r, owner, PD_PRINTSETUP | PD_NOPAGENUMS | PD_NOSELECTION);  // 0x4C
  BOOL ok = PrintDlgA(&r->pd);
  if (ok) r->pdSetUp = true;
  return ok != FALSE;
}

std::string PrinterName(PrintRecord* r) {
  if (!r->pd.hDevMode) {
    // Nothing chosen yet: the default printer's settings, without a dialog.
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT;
    if (PrintDlgA(&pd)) {
      r->pd.hDevMode = pd.hDevMode;
      r->pd.hDevNames = pd.hDevNames;
    }
  }
  std::string name;
  if (r->pd.hDevMode) {
    if (auto* dm = static_cast<const DEVMODEA*>(GlobalLock(r->pd.hDevMode))) {
      name.assign(reinterpret_cast<const char*>(dm->dmDeviceName),
                  strnlen(reinterpret_cast<const char*>(dm->dmDeviceName), CCHDEVICENAME));
      GlobalUnlock(r->pd.hDevMode);
    }
  }
  return name;
}

bool PrintThreadRunning() {
  Reap();
  return gThread != nullptr;
}

bool WaitForPrintThread(DWORD ms) {
  if (!PrintThreadRunning()) return true;
  DWORD start = GetTickCount();
  for (;;) {
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) break;
    // Messages sent by the print thread (its message boxes disable the
    // owner window) are handled, nothing else: no command runs meanwhile.
    DWORD w = MsgWaitForMultipleObjects(1, &gThread, FALSE, ms - spent, QS_SENDMESSAGE);
    if (w == WAIT_OBJECT_0) break;
    if (w != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return !PrintThreadRunning();
}

void EndPrintThread() {
  if (WaitForPrintThread(15000)) return;
  if (gThread) {
    TerminateThread(gThread, 0);
    CloseHandle(gThread);
    gThread = nullptr;
    gThreadId = 0;
  }
}

HANDLE FilePrint(HWND owner, const PrintRequest& request) {
  if (!request.metafile) return nullptr;
  // A job still running: up to six waits of 10 s, then this one is dropped.
  for (int step = 0; step < 6 && PrintThreadRunning(); ++step) WaitForPrintThread(10000);
  if (PrintThreadRunning()) return nullptr;
  PrintRecord* r = GetPrintRecord(owner);
  if (!r) return nullptr;
  ReadDefaultPageSetup(&r->setup);
  r->unattended = request.unattended;
  r->autoPrint = request.autoPrint;
  if (!(request.unattended && (request.autoPrint & 1) && r->printerChosen)) {
    ResetDialog(r, owner, kPrintDlgFlags | ((request.autoPrint & 4) ? PD_RETURNDEFAULT : 0));
    r->printerChosen = true;
  }
  // The thread prints from a copy of its own, made here: the window may
  // replace (and delete) its drawing as soon as this returns.
  if (r->metafile) DeleteEnhMetaFile(r->metafile);
  r->metafile = CopyEnhMetaFileA(request.metafile, nullptr);
  if (!r->metafile) return nullptr;
  gThread = CreateThread(nullptr, 0, PrintThreadProc, r, 0, &gThreadId);
  if (!gThread) {
    DeleteEnhMetaFile(r->metafile);
    r->metafile = nullptr;
  }
  return gThread;
}

}  // namespace tsl::shell
