// Not written yet: no EMZ is made.
#include "output/emz.h"

namespace tsl {
bool CreateEMZ(const std::string&, ConversionLog*) { return false; }
}  // namespace tsl
