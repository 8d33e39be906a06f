// The drawing on the clipboard, as an enhanced metafile.
#pragma once
#include "shell/metafile.h"

namespace tsl::shell {

bool ClipboardHasMetafile();
// Empties the clipboard and puts a copy of `emf` on it; false when the
// clipboard cannot be opened or the copy cannot be made.
bool CopyToClipboard(HWND owner, HENHMETAFILE emf);
// A copy of the clipboard's enhanced metafile; empty when it holds none.
EnhMetaFile MetafileFromClipboard(HWND owner);

}  // namespace tsl::shell
