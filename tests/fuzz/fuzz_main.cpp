// One libFuzzer program per target; TESSELLA_FUZZ_TARGET names the target.
#include <cstdlib>
#include <cstring>

#include "support/fuzz_entries.h"

#define STR2(x) #x
#define STR(x) STR2(x)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const tsl::fuzz::Target* target = [] {
    for (const auto& t : tsl::fuzz::Targets())
      if (!std::strcmp(t.name, STR(TESSELLA_FUZZ_TARGET))) return &t;
    std::abort();
    return static_cast<const tsl::fuzz::Target*>(nullptr);
  }();
  target->run(data, size);
  return 0;
}
