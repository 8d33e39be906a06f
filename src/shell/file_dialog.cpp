#include "common/strings.h"
#include "shell/dialog_text.h"

#include "shell/file_dialog.h"
#include "shell/globals.h"

#include <commdlg.h>

#undef LoadString  // tsl::LoadString, not the Win32 macro

namespace tsl::shell {

bool GetFileName(HWND owner, unsigned id, std::string* path) {
  std::string title, filterText, ext;
  LoadString(id, &title, 64);
  LoadString(id + 1, &filterText);
  LoadString(id + 2, &ext, 8);
  std::string filter = DialogFilter(filterText);

  char buffer[kMaxPath] = {};
  lstrcpynA(buffer, path->c_str(), sizeof buffer);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = gvGlobals.instance;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  bool save = IsSaveDialog(id);
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (ok) *path = buffer;
  return ok != 0;
}

}  // namespace tsl::shell
