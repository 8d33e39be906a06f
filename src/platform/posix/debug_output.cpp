#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>

namespace tsl {

void DebugOutput(const char* text) {
  static const bool enabled = std::getenv("TESSELLA_DEBUG") != nullptr;
  if (enabled && text) std::fputs(text, stderr);
}

}  // namespace tsl
