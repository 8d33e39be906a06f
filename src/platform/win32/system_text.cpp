#include "platform/win32/system_text.h"

#include <vector>

#include "platform/windows_lean.h"

namespace tsl::win32 {

bool LoadResString(void* instance, unsigned id, std::string* out, size_t capacity) {
  if (capacity == 0 || id > 0xFFFF) return false;
  HINSTANCE module = instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
  // LoadStringA takes an int count; one resource string is at most 65535
  // characters anyway.
  if (capacity > 65536) capacity = 65536;
  std::vector<char> buf(capacity, '\0');
  int n = LoadStringA(module, id, buf.data(), static_cast<int>(capacity));
  if (n <= 0) return false;
  out->assign(buf.data(), static_cast<size_t>(n));
  return true;
}

std::string SystemErrorText(uint32_t code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                           reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result;
  if (n > 0 && text) result.assign(text, n);
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  if (result.empty()) result = "Unknown error " + std::to_string(code) + ".";
  return result;
}

std::string LastErrorText() { return SystemErrorText(GetLastError()); }

}  // namespace tsl::win32
