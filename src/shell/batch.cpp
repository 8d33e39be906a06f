// AutoProcess and GlobFiles: the Windows batch.
#include "resources/string_ids.h"
#include "settings/settings_sets.h"
#include "settings/switch_grammar.h"

#include "resources/resource_ids.h"
#include "shell/batch.h"
#include "shell/commands.h"
#include "shell/conversion.h"
#include "shell/frame.h"
#include "shell/globals.h"
#include "shell/print_job.h"
#include "shell/window_notices.h"

#include <algorithm>
#include <map>
#include <vector>

namespace tsl::shell {

namespace {

// Command lines that came while another was processed, in their order;
// each stays here until it is processed itself.
std::vector<ATOM> gWaiting;
// The folders of the command lines second starts handed over.
std::map<ATOM, std::string> gFolders;

// Works in another current folder for as long as it lives.
class FolderScope {
 public:
  explicit FolderScope(const std::string& folder) {
    if (folder.empty()) return;
    char old[MAX_PATH] = {};
    DWORD n = GetCurrentDirectoryA(MAX_PATH, old);
    if (n > 0 && n < MAX_PATH && SetCurrentDirectoryA(folder.c_str())) saved_ = old;
  }
  ~FolderScope() {
    if (!saved_.empty()) SetCurrentDirectoryA(saved_.c_str());
  }
  FolderScope(const FolderScope&) = delete;
  FolderScope& operator=(const FolderScope&) = delete;

 private:
  std::string saved_;
};

bool Waiting(ATOM atom) { return std::find(gWaiting.begin(), gWaiting.end(), atom) != gWaiting.end(); }

// Marks a command line as being processed for as long as it lives.
class ProcessingMark {
 public:
  ProcessingMark() { flagAutoProcessing = true; }
  ~ProcessingMark() { flagAutoProcessing = false; }
  ProcessingMark(const ProcessingMark&) = delete;
  ProcessingMark& operator=(const ProcessingMark&) = delete;
};

// Puts the run options back as they were when it was made.
class OptionsGuard {
 public:
  OptionsGuard() : saved_(setOptions) {}
  ~OptionsGuard() { setOptions = saved_; }
  OptionsGuard(const OptionsGuard&) = delete;
  OptionsGuard& operator=(const OptionsGuard&) = delete;

 private:
  SettingsSet saved_;
};

class FindHandle {
 public:
  FindHandle(const std::string& pattern, WIN32_FIND_DATAA* data) : h_(FindFirstFileA(pattern.c_str(), data)) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  bool Next(WIN32_FIND_DATAA* data) { return FindNextFileA(h_, data) != 0; }

 private:
  HANDLE h_;
};

bool IsFolder(const WIN32_FIND_DATAA& d) { return (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

std::string FolderPart(const std::string& pattern) {
  size_t sep = pattern.find_last_of("\\/:");
  return sep == std::string::npos ? std::string() : pattern.substr(0, sep + 1);
}

std::string Absolute(const std::string& path) {
  char full[MAX_PATH] = {};
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

std::string SystemTextOf(DWORD code) {
  SetLastError(code);
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 1024, text,
                 sizeof text, nullptr);
  std::string s = text;
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

}  // namespace

int GlobFiles(HWND frame, const std::string& pattern, bool nested) {
  OptionsGuard restore;
  if (setOptions.Has(Unattended)) {
    setOptions.Set(AutoCopy, false);
    setOptions.Set(NoNOPWarnings, true);
    setOptions.Set(NoInfoMessages, true);
  }
  // A batch that prints chooses its printer before its first file; later
  // files print to the same one.
  if (setOptions.AutoPrint != 0) {
    PrintRecord* record = GetPrintRecord(frame);
    if (record && !record->pdSetUp) ChoosePrinterForBatch(record, (setOptions.AutoPrint & AutoPrintDefault) != 0);
  }
  WIN32_FIND_DATAA data{};
  FindHandle find(pattern, &data);
  if (!find.ok()) {
    if (!nested) NotifySE(IDS_OPEN_FAILED, pattern);
    return 0;
  }
  if (IsFolder(data)) {
    std::string folder = pattern;
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    static const char* const kPlots[] = {"*.plt", "*.hgl", "*.hpg"};
    static const char* const kMetafiles[] = {"*.emf", "*.wmf"};
    int found = 0;
    if (setOptions.AutoPrint & AutoPrintMetafiles) {
      for (const char* p : kMetafiles) found += GlobFiles(frame, folder + p, true);
    } else {
      for (const char* p : kPlots) found += GlobFiles(frame, folder + p, true);
    }
    if (found == 0) NotifySE(IDS_OPEN_FAILED, pattern, SystemTextOf(ERROR_FILE_NOT_FOUND));
    return found;
  }
  // Every match is collected before the first is converted, so that the
  // outputs of a conversion are never taken for inputs; there is no limit
  // to the count, so no file is left out unsaid.
  std::vector<std::string> files;
  std::string folder = FolderPart(pattern);
  do {
    if (!IsFolder(data)) files.push_back(Absolute(folder + data.cFileName));
  } while (find.Next(&data));
  for (const std::string& file : files) {
    DoConversion(frame, file);
    SetCaption(frame);
  }
  return static_cast<int>(files.size());
}

namespace {

// What the window does with the items of its command line: files are
// converted at once with the options the switches before them left.
class WindowCommandLine : public SwitchActions {
 public:
  explicit WindowCommandLine(HWND frame) : frame_(frame) {
    placement_.useFolder = gvGlobals.useFolder;
    placement_.fileGiven = gvGlobals.outputFileGiven;
    placement_.folder = gvGlobals.folder;
  }
  OutputPlacement& Placement() { return placement_; }
  int Count() const { return killed_ ? -1 : count_; }

  void File(const std::string& name) override {
    // The output placement stays as the switches left it until the
    // program ends (or the preferences change it).
    gvGlobals.useFolder = placement_.useFolder;
    gvGlobals.outputFileGiven = placement_.fileGiven;
    gvGlobals.folder = placement_.folder.substr(0, kMaxPath - 1);
    count_ += GlobFiles(frame_, name, false);
  }

  void Switch(const SwitchEvent& e) override {
    switch (e.kind) {
      case SwitchKind::Kill:
        killed_ = true;
        DestroyWindow(frame_);
        break;
      case SwitchKind::Help: SendMessageA(frame_, WM_COMMAND, IDM_HELP_CONTENTS, 0); break;
      case SwitchKind::Dde:
        // A DDE run counts as processed; the service answers under the name.
        ++count_;
        if (!e.value.empty()) gvGlobals.ddeServiceName = e.value;
        break;
      case SwitchKind::Output:
        gvGlobals.useFolder = placement_.useFolder;
        gvGlobals.outputFileGiven = placement_.fileGiven;
        gvGlobals.folder = placement_.folder.substr(0, kMaxPath - 1);
        break;
      default: break;
    }
  }

 private:
  HWND frame_;
  OutputPlacement placement_;
  int count_ = 0;
  bool killed_ = false;
};

}  // namespace

int AutoProcessText(HWND frame, const std::string& text) {
  ProcessingMark mark;
  // Every command line starts from the saved settings, run options off.
  ReadIniFile(WindowNotices(), &setOptions, nullptr);
  WindowCommandLine actions(frame);
  SwitchWalker walker(setOptions, actions.Placement(), actions, kWindowSwitchChars);
  walker.WalkCommandLine(text);
  if (!setOptions.Has(DdeRequest)) setOptions.Set(Unattended, false);
  return actions.Count();
}

int AutoProcess(HWND frame, ATOM atom) {
  std::string folder;
  if (auto it = gFolders.find(atom); it != gFolders.end()) {
    folder = it->second;
    gFolders.erase(it);
  }
  char text[256] = {};
  UINT n = GlobalGetAtomNameA(atom, text, sizeof text);
  if (n == 0) return 0;
  GlobalDeleteAtom(atom);
  FolderScope in(folder);
  return AutoProcessText(frame, std::string(text, n));
}

void OnHandOverFolder(ATOM atom, const std::string& folder) { gFolders[atom] = folder; }

namespace {
LRESULT AfterBatch(HWND frame, int count) {
  if (count == 0) return 0;
  // A command line still waiting its turn keeps the frame open: it closes
  // after the last one instead.
  if (!setOptions.Has(NoAutoClose) && gWaiting.empty() && IsWindow(frame)) DestroyWindow(frame);
  return count;
}
}  // namespace

LRESULT RunCommandLine(HWND frame, ATOM atom) {
  // One command line at a time, and none in the middle of a conversion
  // (whose closing message may be up).
  if (flagAutoProcessing || ConversionRunning()) {
    if (!Waiting(atom)) gWaiting.push_back(atom);
    SetTimer(frame, kCommandLineTimer, kCommandLineRetryMs, nullptr);
    return -1;
  }
  gWaiting.erase(std::remove(gWaiting.begin(), gWaiting.end(), atom), gWaiting.end());
  return AfterBatch(frame, AutoProcess(frame, atom));
}

LRESULT RunOwnCommandLine(HWND frame, const std::string& text) {
  return AfterBatch(frame, AutoProcessText(frame, text));
}

void OnCommandLineTimer(HWND frame) {
  KillTimer(frame, kCommandLineTimer);
  for (ATOM atom : gWaiting) PostMessageA(frame, WM_COMMAND, IDM_COMMAND_LINE, static_cast<LPARAM>(atom));
}

LRESULT CmdCommandLine(HWND frame, unsigned, LPARAM atom) {
  return RunCommandLine(frame, static_cast<ATOM>(atom));
}

}  // namespace tsl::shell
