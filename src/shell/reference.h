// The reference device of metafiles recorded on this machine. Free of
// <windows.h>.
#pragma once
#include "common/gdi/emf_recorder.h"

namespace tsl::shell {

// The screen's size in pixels and millimetres: metafiles recorded here take
// it as their reference device, as GDI's do.
gdi::ReferenceDevice ScreenReference();

}  // namespace tsl::shell
