#include "platform/win32/settings_store_registry.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/win32/system_text.h"

#include "platform/windows_lean.h"

namespace tsl::win32 {

namespace {

class Key {
 public:
  Key() = default;
  ~Key() {
    if (h_) RegCloseKey(h_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &h_; }
  HKEY get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

StoreStatus FailedName(const std::string& name) {
  return StoreStatus::Failed("The name '" + name + "' cannot be stored.");
}

StoreStatus StatusOf(LONG rc) {
  if (rc == ERROR_SUCCESS) return StoreStatus::Ok();
  if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return StoreStatus::NotFound();
  return StoreStatus::Failed(SystemErrorText(static_cast<uint32_t>(rc)));
}

// The order of the settings file store, so that both list alike.
bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::string RegistrySettingsStore::KeyPath(const std::string& section) const {
  return section.empty() ? base_ : base_ + "\\" + section;
}

bool RegistrySettingsStore::Read(const std::string& section, const std::string& name, StoreValue* value) {
  if (!IsValidStoreSection(section) || !IsValidStoreValueName(name)) return false;
  Key key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
    return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type == REG_DWORD) {
    DWORD number = 0;
    size = sizeof number;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number)
      return false;
    value->type = StoreValue::Type::Number;
    value->number = number;
    value->text.clear();
    return true;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  if (size > kMaxRegistryText) return false;
  // One more byte than asked for, so the text ends in a NUL even if the
  // stored one lacks it; the value may have changed size in between.
  std::vector<char> buf(size + 2, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  value->type = StoreValue::Type::Text;
  value->text.assign(buf.data(), std::min<size_t>(std::char_traits<char>::length(buf.data()), got));
  value->number = 0;
  return true;
}

StoreStatus RegistrySettingsStore::Write(const std::string& section, const std::string& name, unsigned long type,
                                         const void* data, unsigned long size) {
  if (!IsValidStoreSection(section)) return FailedName(section);
  if (!IsValidStoreValueName(name)) return FailedName(name);
  Key key;
  LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, key.out(), nullptr);
  if (rc != ERROR_SUCCESS) return StoreStatus::Failed(SystemErrorText(static_cast<uint32_t>(rc)));
  rc = RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  if (rc != ERROR_SUCCESS) return StoreStatus::Failed(SystemErrorText(static_cast<uint32_t>(rc)));
  return StoreStatus::Ok();
}

StoreStatus RegistrySettingsStore::WriteNumber(const std::string& section, const std::string& name,
                                               uint32_t value) {
  DWORD number = value;
  return Write(section, name, REG_DWORD, &number, sizeof number);
}

StoreStatus RegistrySettingsStore::WriteText(const std::string& section, const std::string& name,
                                             const std::string& text) {
  if (text.find('\0') != std::string::npos) return StoreStatus::Failed("A text cannot hold a NUL character.");
  if (text.size() >= kMaxRegistryText) return StoreStatus::Failed("The text is too long to be stored.");
  return Write(section, name, REG_SZ, text.c_str(), static_cast<unsigned long>(text.size() + 1));
}

StoreStatus RegistrySettingsStore::DeleteValue(const std::string& section, const std::string& name) {
  if (!IsValidStoreSection(section)) return FailedName(section);
  if (!IsValidStoreValueName(name)) return FailedName(name);
  Key key;
  LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_SET_VALUE, key.out());
  if (rc != ERROR_SUCCESS) return StatusOf(rc);
  return StatusOf(RegDeleteValueA(key.get(), name.c_str()));
}

StoreStatus RegistrySettingsStore::DeleteSection(const std::string& section) {
  // The base key holds every set: it is never deleted as a section.
  if (section.empty() || !IsValidStoreSection(section)) return FailedName(section);
  return StatusOf(RegDeleteTreeA(HKEY_CURRENT_USER, KeyPath(section).c_str()));
}

bool RegistrySettingsStore::ListSections(std::vector<std::string>* names) {
  names->clear();
  Key key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.out()) != ERROR_SUCCESS)
    return false;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    LONG rc = RegEnumKeyExA(key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) names->emplace_back(name, len);
    else if (rc != ERROR_MORE_DATA) break;  // longer than any name we write: skip it
  }
  std::sort(names->begin(), names->end(), LessNoCase);
  return true;
}

bool RegistrySettingsStore::ListValues(const std::string& section, std::vector<std::string>* names) {
  names->clear();
  if (!IsValidStoreSection(section)) return false;
  Key key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
    return false;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD len = sizeof name;
    LONG rc = RegEnumValueA(key.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) names->emplace_back(name, len);
    else if (rc != ERROR_MORE_DATA) break;
  }
  return true;
}

}  // namespace tsl::win32
