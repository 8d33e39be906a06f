#include "common/strings.h"

#include <algorithm>
#include <utility>

#include "resources/string_ids.h"

namespace tsl {

namespace {
struct Entry {
  unsigned id;
  const char* text;
};
constexpr Entry kTable[] = {
#define TSL_STRING(id, text) {id, text},
#include "resources/strings.inc"
#undef TSL_STRING
};
}  // namespace

bool LoadString(unsigned id, std::string* out, size_t capacity) {
  auto it = std::find_if(std::begin(kTable), std::end(kTable),
                         [id](const Entry& e) { return e.id == id; });
  if (it == std::end(kTable) || capacity == 0) return false;
  *out = it->text;
  if (out->size() > capacity - 1) out->resize(capacity - 1);
  return true;
}

}  // namespace tsl
