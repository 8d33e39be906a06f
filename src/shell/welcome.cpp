// The welcome picture: a metafile among the program's resources whose
// placeholder becomes the version before it is shown.
#include "output/metafile_load.h"
#include "shell/welcome_patch.h"

#include "resources/resource_ids.h"
#include "shell/frame.h"
#include "shell/globals.h"
#include "shell/view.h"

#include <vector>

namespace tsl::shell {

void WelcomeScreen(HWND frame) {
  HRSRC found = FindResourceA(gvGlobals.instance, MAKEINTRESOURCEA(IDR_WELCOME), RT_TSL_METAFILE);
  HGLOBAL loaded = found ? LoadResource(gvGlobals.instance, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  DWORD size = found ? SizeofResource(gvGlobals.instance, found) : 0;
  if (!data || size == 0) return;
  // Resources are read-only: the patch goes into a copy.
  std::vector<uint8_t> bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  PatchEnhMetafile(bytes.data(), bytes.size(), kVersionPlaceholder, kVersionFieldWidth, VersionText(), 'L');
  std::vector<uint8_t> emf;
  if (!LoadMetaFileResource(bytes.data(), bytes.size(), &emf)) return;
  SetViewZoom(frame, 0);
  ReplaceViewMetafile(frame, MetafileFromBytes(emf));
  ChangeSize(frame, false);
}

}  // namespace tsl::shell
