// Access to the string table by number.
#pragma once
#include <string>

namespace tsl {

// Copies string `id` into `out`, cut to capacity - 1 bytes as LoadStringA
// does. Returns false when the table has no such string.
bool LoadString(unsigned id, std::string* out, size_t capacity = 4096);

}  // namespace tsl
