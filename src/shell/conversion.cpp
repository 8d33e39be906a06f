// Core headers go before <windows.h> (through conversion.h): its macros
// would rewrite their declarations.
#include "common/names.h"
#include "interpreter/tessella.h"
#include "output/emz.h"
#include "output/metafile_load.h"
#include "shell/dialog_text.h"
#include "shell/reference.h"

#include "shell/clipboard.h"
#include "shell/conversion.h"
#include "shell/frame.h"
#include "shell/globals.h"
#include "shell/view.h"
#include "shell/window_notices.h"

namespace tsl::shell {

gdi::ReferenceDevice ScreenReference() {
  gdi::ReferenceDevice ref;
  if (HDC screen = GetDC(nullptr)) {
    int w = GetDeviceCaps(screen, HORZRES), h = GetDeviceCaps(screen, VERTRES);
    int mw = GetDeviceCaps(screen, HORZSIZE), mh = GetDeviceCaps(screen, VERTSIZE);
    if (w > 0 && h > 0 && mw > 0 && mh > 0) {
      ref.szlDevice = {w, h};
      ref.szlMillimeters = {mw, mh};
    }
    ReleaseDC(nullptr, screen);
  }
  return ref;
}

namespace {

int gConversions = 0;  // conversions running (one, or one inside a box of another)

class ConversionMark {
 public:
  ConversionMark() { ++gConversions; }
  ~ConversionMark() { --gConversions; }
  ConversionMark(const ConversionMark&) = delete;
  ConversionMark& operator=(const ConversionMark&) = delete;
};

// The view shows the drawing a run hands over, captioned with its plot.
void ShowRunDrawing(HWND frame, const std::string& plot, const std::string* path,
                    const std::vector<uint8_t>* bytes) {
  EnhMetaFile emf;
  if (path) {
    // A copy in memory: GDI keeps the file of a metafile it opened, and the
    // next conversion of the same plot must be able to replace it.
    EnhMetaFile file(GetEnhMetaFileA(path->c_str()));
    if (file) emf = EnhMetaFile(CopyEnhMetaFileA(file.get(), nullptr));
  } else if (bytes) {
    emf = MetafileFromBytes(*bytes);
  }
  if (!emf) return;
  ReplaceViewMetafile(frame, std::move(emf));
  ChangeSize(frame, false);
  SetCaptionFor(frame, plot);
}

// Converts, then copies, exports and prints as the run options ask.
int ConvertFile(HWND frame, const std::string& path) {
  ConversionMark running;
  OutputNames names;
  if (!MakeNames(WindowNotices(), path, gvGlobals.useFolder ? gvGlobals.folder.c_str() : nullptr, &names)) return 0;
  if (gvGlobals.outputFileGiven) names.metafile = gvGlobals.folder;
  std::string metafile = setOptions.Has(PurgeEMF) ? std::string() : names.metafile;

  RunEnvironment env;
  env.notices = &WindowNotices();
  env.compressEMF = CompressEMF;
  env.reference = ScreenReference();
  env.replaceEMF = [frame, &names](const std::string* p, const std::vector<uint8_t>* bytes) {
    ShowRunDrawing(frame, names.plot, p, bytes);
  };
  env.showLog = [frame](const std::string& log) { ShowLog(frame, log, gvGlobals.textViewer); };
  if (!Tessella(setOptions, names.plot, metafile.empty() ? nullptr : metafile.c_str(), names.log, env)) return 0;

  if (setOptions.Has(AutoCopy) && ViewMetafile(frame)) CopyToClipboard(frame, ViewMetafile(frame));
  gvGlobals.logFile = names.log;
  gvGlobals.metafile = metafile;
  gvGlobals.sourceFile = names.plot;
  gvGlobals.exportName = names.bitmap;
  if (setOptions.AutoExport != 0) FileExportAs(frame);
  if (setOptions.AutoPrint == 0) return 1;
  PrintDrawing(frame);
  return 1;
}

}  // namespace

bool ConversionRunning() { return gConversions > 0; }

int DoConversion(HWND frame, const std::string& path) {
  if (setOptions.AutoPrint & AutoPrintMetafiles) {
    if (!DoOpenEMF(frame, path)) return 0;
    PrintDrawing(frame);
    return 1;
  }
  return ConvertFile(frame, path);
}

int DoOpenEMF(HWND frame, const std::string& path, std::string* error) {
  // LoadMetaFile inflates an EMZ in memory (within the size any metafile
  // may have), so no temporary file is left behind in any case.
  std::vector<uint8_t> bytes;
  std::string why;
  EnhMetaFile emf;
  if (LoadMetaFile(path, &bytes, &why)) emf = MetafileFromBytes(bytes);
  if (!emf) {
    if (error) *error = why.empty() ? "The file is not a metafile, or it is damaged." : why;
    return 0;
  }
  ReplaceViewMetafile(frame, std::move(emf));
  ChangeSize(frame, false);
  gvGlobals.sourceFile.clear();
  gvGlobals.logFile.clear();
  gvGlobals.exportName.clear();
  gvGlobals.metafile = path;
  SetCaption(frame);
  return 1;
}

void DropFiles(HWND frame, HDROP drop) {
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // A longer name would be cut into another file's name: skip it.
    UINT length = DragQueryFileA(drop, i, nullptr, 0);
    if (length == 0 || length >= kMaxPath) continue;
    char name[kMaxPath] = {};
    DragQueryFileA(drop, i, name, sizeof name);
    if (setOptions.AutoPrint & AutoPrintMetafiles) {
      if (DoOpenEMF(frame, name)) PrintDrawing(frame);
    } else {
      ConvertFile(frame, name);
    }
    SetCaption(frame);
  }
  DragFinish(drop);
}

void ShowLog(HWND owner, const std::string& logPath, const std::string& viewer) {
  std::string program = viewer;
  if (program.empty()) {
    auto r = reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, "open", logPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (r > 32) return;
    program = "NOTEPAD";
  }
  // Quoted, so that a path with blanks stays one argument.
  std::string argument = "\"" + logPath + "\"";
  auto r = reinterpret_cast<INT_PTR>(
      ShellExecuteA(owner, "open", program.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL));
  if (r > 32) return;
  ShowText(ShowLogFailureText(logPath, static_cast<unsigned>(r)), "", NoticeIcon::Warning);
}

}  // namespace tsl::shell
