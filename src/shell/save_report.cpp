#include "shell/dialog_text.h"

#include "shell/save_report.h"
#include "shell/window_notices.h"

namespace tsl::shell {

void ReportSaveComplete(HWND, const std::string& path) {
  char full[512] = {};
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string absolute = n > 0 && n < sizeof full ? std::string(full, n) : path;
  uint64_t size = 0;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExA(absolute.c_str(), GetFileExInfoStandard, &data))
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  ShowText(SaveCompleteText(absolute, size), SaveCompleteCaption(), NoticeIcon::Information);
}

}  // namespace tsl::shell
