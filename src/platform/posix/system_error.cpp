#include "platform/system_error.h"

#include "common/notify.h"

namespace tsl {

std::string LastSystemErrorText() { return GetSysErr(); }

}  // namespace tsl
