#include "platform/debug_output.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tsl {

void DebugOutput(const char* text) {
  if (text) OutputDebugStringA(text);
}

}  // namespace tsl
