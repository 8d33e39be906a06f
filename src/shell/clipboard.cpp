#include "shell/clipboard.h"

namespace tsl::shell {

namespace {
// Open for as long as it lives.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != 0) {}
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_;
};
}  // namespace

bool ClipboardHasMetafile() { return IsClipboardFormatAvailable(CF_ENHMETAFILE) != 0; }

bool CopyToClipboard(HWND owner, HENHMETAFILE emf) {
  if (!emf) return false;
  OpenClipboardScope clip(owner);
  if (!clip) return false;
  EmptyClipboard();
  EnhMetaFile copy(CopyEnhMetaFileA(emf, nullptr));
  if (!copy) return false;
  // The clipboard owns the copy once it took it.
  if (!SetClipboardData(CF_ENHMETAFILE, copy.get())) return false;
  copy.Release();
  return true;
}

EnhMetaFile MetafileFromClipboard(HWND owner) {
  if (!ClipboardHasMetafile()) return EnhMetaFile();
  OpenClipboardScope clip(owner);
  if (!clip) return EnhMetaFile();
  auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  return EnhMetaFile(emf ? CopyEnhMetaFileA(emf, nullptr) : nullptr);
}

}  // namespace tsl::shell
