#include "platform/debug_output.h"

#include "platform/windows_lean.h"

namespace tsl {

void DebugOutput(const char* text) {
  if (text) OutputDebugStringA(text);
}

}  // namespace tsl
