// Text for a developer: OutputDebugStringA on Windows, stderr on POSIX when
// TESSELLA_DEBUG is set, otherwise nothing.
#pragma once

namespace tsl {
void DebugOutput(const char* text);
}
