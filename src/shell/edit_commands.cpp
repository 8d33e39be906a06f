// The Edit menu: the drawing to and from the clipboard, and Clear.
#include "shell/clipboard.h"
#include "shell/commands.h"
#include "shell/view.h"

namespace tsl::shell {

LRESULT CmdCopy(HWND frame, unsigned, LPARAM) {
  if (HENHMETAFILE emf = ViewMetafile(frame)) CopyToClipboard(frame, emf);
  return 0;
}

LRESULT CmdPaste(HWND frame, unsigned, LPARAM) {
  EnhMetaFile emf = MetafileFromClipboard(frame);
  if (!emf) return 0;
  ReplaceViewMetafile(frame, std::move(emf));
  ChangeSize(frame, false);
  return 0;
}

LRESULT CmdClear(HWND frame, unsigned, LPARAM) {
  // The source file stays: Save still offers it (and says why it fails).
  ReplaceViewMetafile(frame, EnhMetaFile());
  ChangeSize(frame, false);
  return 0;
}

}  // namespace tsl::shell
