#include "shell/associations.h"

#include "platform/win32/system_text.h"
#include "resources/string_ids.h"
#include "settings/settings_registry.h"
#include "shell/association_text.h"
#include "shell/metafile.h"
#include "shell/window_notices.h"

namespace tsl::shell {

namespace {

constexpr size_t kMaxKeyPath = 127;
const std::string kClasses = "Software\\Classes\\";

bool Failed(LONG code) {
  NotifySettingsError(WindowNotices(), IDS_REGISTRY_WRITE_FAILED, "", win32::SystemErrorText(code));
  return false;
}

// The default value of a key, or false.
bool ReadDefault(const std::string& key, size_t capacity, std::string* out) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
  std::string buffer(capacity, '\0');
  DWORD type = 0, size = static_cast<DWORD>(capacity);
  LONG rc = RegQueryValueExA(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
  buffer.resize(size);
  out->assign(buffer.c_str());
  return true;
}

bool WriteDefault(const std::string& key, const std::string& text) {
  if (key.size() > kMaxKeyPath) return Failed(ERROR_FILENAME_EXCED_RANGE);
  HKEY h;
  char cls[] = "Tessella";
  LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, cls, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &h, nullptr);
  if (rc != ERROR_SUCCESS) return Failed(rc);
  rc = RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                      static_cast<DWORD>(text.size() + 1));
  RegCloseKey(h);
  return rc == ERROR_SUCCESS || Failed(rc);
}

}  // namespace

std::string GetAssociation(const std::string& extension, size_t capacity) {
  std::string id, description;
  if (!ReadDefault(kClasses + extension, 128, &id) || id.empty()) return std::string();
  if (!ReadDefault(kClasses + id, capacity, &description)) return std::string();
  return description;
}

bool Associate(const std::string& extension, const std::string& programId, const std::string& programPath) {
  std::string format;
  if (!win32::LoadResString(nullptr, IDS_FILE_TYPE, &format)) format = "%s file";
  bool ok = WriteDefault(kClasses + extension, programId);
  ok &= WriteDefault(kClasses + programId, FileTypeDescription(format, programId));
  ok &= WriteDefault(kClasses + programId + "\\DefaultIcon", IconValue(programPath));
  ok &= WriteDefault(kClasses + programId + "\\shell\\open\\command", OpenCommand(programPath));
  return ok;
}

bool Unassociate(const std::string& extension) {
  // The whole key: an extension key may hold sub-keys of its own.
  LONG rc = RegDeleteTreeA(HKEY_CURRENT_USER, (kClasses + extension).c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || Failed(rc);
}

}  // namespace tsl::shell
