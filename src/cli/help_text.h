// The text of `tessella --help`.
#pragma once

namespace tsl {

extern const char kHelpText[];

}  // namespace tsl
