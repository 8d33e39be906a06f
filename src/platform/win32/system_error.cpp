#include "platform/system_error.h"

#include "platform/win32/system_text.h"

namespace tsl {

std::string LastSystemErrorText() { return win32::LastErrorText(); }

}  // namespace tsl
