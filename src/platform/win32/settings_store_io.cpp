// The Windows side of the settings seam: the registry store, the program's
// path, and whole-file reads and atomic replacement for settings files.
#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "platform/win32/settings_store_registry.h"
#include "platform/win32/system_text.h"

#include "platform/windows_lean.h"

namespace tsl {

namespace {

class File {
 public:
  explicit File(HANDLE h) : h_(h) {}
  ~File() { Close(); }
  File(const File&) = delete;
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      Close();
      h_ = other.h_;
      other.h_ = INVALID_HANDLE_VALUE;
    }
    return *this;
  }
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    bool closed = true;
    if (ok()) closed = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_;
};

std::string ErrorText(DWORD code, const std::string& path) {
  return win32::SystemErrorText(code) + ": " + path;
}


}  // namespace

std::unique_ptr<SettingsStore> CreatePlatformSettingsStore() {
  return std::make_unique<win32::RegistrySettingsStore>();
}

std::string CurrentProgramPath() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) return std::string(buf.data(), n);
    if (buf.size() >= 32768) return std::string();
    buf.resize(buf.size() * 2);
  }
}

FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes, std::string* bytes,
                             std::string* systemText) {
  bytes->clear();
  File file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return FileReadResult::Missing;
    *systemText = ErrorText(code, path);
    return FileReadResult::Failed;
  }
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    *systemText = ErrorText(ERROR_INVALID_PARAMETER, path);
    return FileReadResult::Failed;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    *systemText = ErrorText(GetLastError(), path);
    return FileReadResult::Failed;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    *systemText = ErrorText(ERROR_FILE_TOO_LARGE, path);
    return FileReadResult::TooLarge;
  }
  // The size may change under us; never read more than the limit.
  bytes->resize(static_cast<size_t>(size.QuadPart) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes->size()) {
      if (bytes->size() > maxBytes) {
        bytes->clear();
        *systemText = ErrorText(ERROR_FILE_TOO_LARGE, path);
        return FileReadResult::TooLarge;
      }
      bytes->resize(std::min(maxBytes + 1, bytes->size() * 2));
    }
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes->size() - got, 1u << 20));
    DWORD n = 0;
    if (!ReadFile(file.get(), &(*bytes)[got], want, &n, nullptr)) {
      DWORD code = GetLastError();
      bytes->clear();
      *systemText = ErrorText(code, path);
      return FileReadResult::Failed;
    }
    if (n == 0) break;
    got += n;
  }
  bytes->resize(got);
  return FileReadResult::Ok;
}

}  // namespace tsl
