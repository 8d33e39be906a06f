// Texts the system keeps: string resources of a module and error messages.
#pragma once
#include <cstdint>
#include <string>

namespace tsl::win32 {

// LoadStringA of string `id` from module `instance` (nullptr: this program)
// into `out`, at most capacity - 1 bytes. False when there is no such string.
bool LoadResString(void* instance, unsigned id, std::string* out, size_t capacity = 4096);

// FormatMessageA's text for a system error code, in the user's language,
// without the trailing line break; GetLastError's when none is given.
std::string SystemErrorText(uint32_t code);
std::string LastErrorText();

}  // namespace tsl::win32
