// Save As EMZ: the view's metafile, compressed. It goes through a
// temporary "tslXXXXXX" file in the current folder, which is removed on
// every path.
#include "common/names.h"
#include "common/notify.h"
#include "output/emz.h"
#include "resources/string_ids.h"
#include "platform/win32/system_text.h"

#include "shell/commands.h"
#include "shell/dialog_text.h"
#include "shell/file_dialog.h"
#include "shell/globals.h"
#include "shell/save_report.h"
#include "shell/view.h"
#include "shell/window_notices.h"

namespace tsl::shell {

namespace {

// A new, empty file "tsl" + 6 characters in the current folder (or the
// temporary folder when the current one takes no files), deleted with its
// owner.
class TempFile {
 public:
  TempFile() {
    if (!Create(std::string())) {
      // A folder we may not write to: the user's temporary folder instead.
      char temp[MAX_PATH] = {};
      DWORD n = GetTempPathA(MAX_PATH, temp);
      if (n > 0 && n < MAX_PATH) Create(temp);
    }
  }
  ~TempFile() {
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  bool Create(const std::string& folder) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::string name = folder + "tsl";
      for (int i = 0; i < 6; ++i) {
        seed = seed * 1103515245u + 12345u;
        name += kChars[(seed >> 16) % 36];
      }
      HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        path_ = name;
      } else if (GetLastError() != ERROR_FILE_EXISTS) {
        break;
      }
    }
    return !path_.empty();
  }

  std::string path_;
};

// Writes the view's metafile into `emzPath`; false after telling the user.
bool SaveViewAsEmz(HWND frame, const std::string& emzPath) {
  TempFile temp;
  if (temp.path().empty()) {
    NotifySE(IDS_WRITE_METAFILE_FAILED, emzPath, win32::LastErrorText());
    return false;
  }
  HENHMETAFILE emf = ViewMetafile(frame);
  SetLastError(ERROR_INVALID_HANDLE);  // what is reported when the view is empty
  EnhMetaFile copy(emf ? CopyEnhMetaFileA(emf, temp.path().c_str()) : nullptr);
  if (!copy) {
    NotifySE(IDS_WRITE_METAFILE_FAILED, emzPath, win32::LastErrorText());
    return false;
  }
  copy.Reset();  // closes the file before it is read
  if (CompressEMF(emzPath, temp.path()) == 0) {
    // Said, not left silent: without it the user would take the file for saved.
    NotifySE(IDS_WRITE_METAFILE_FAILED, emzPath, GetSysErr());
    return false;
  }
  return true;
}

}  // namespace

LRESULT CmdSaveEmz(HWND frame, unsigned, LPARAM) {
  if (!ViewMetafile(frame)) return 0;
  if (setOptions.Has(AutoEMZ) && !gvGlobals.metafile.empty()) {
    // Beside the metafile, which the EMZ replaces.
    std::string emz = ReplaceExtension(gvGlobals.metafile, ".emz");
    if (!SaveViewAsEmz(frame, emz)) return 0;
    if (emz != gvGlobals.metafile) DeleteFileA(gvGlobals.metafile.c_str());
    ReportSaveComplete(frame, emz);
    return 1;
  }
  std::string path = EmzSuggestion(gvGlobals.metafile);
  if (!GetFileName(frame, IDS_SAVE_EMZ_TITLE, &path)) return 0;
  if (!SaveViewAsEmz(frame, path)) return 0;
  ReportSaveComplete(frame, path);
  return 1;
}

}  // namespace tsl::shell
