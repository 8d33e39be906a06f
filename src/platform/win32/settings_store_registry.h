// The settings store in the registry: the base key under HKEY_CURRENT_USER,
// one sub-key per section, numbers as REG_DWORD and texts as REG_SZ.
#pragma once
#include <string>

#include "settings/settings_store.h"

namespace tsl::win32 {

constexpr char kSettingsKey[] = "Software\\Quillmark\\Tessella";

class RegistrySettingsStore : public SettingsStore {
 public:
  // `keyPath` is the base key's path under HKEY_CURRENT_USER.
  explicit RegistrySettingsStore(std::string keyPath = kSettingsKey) : base_(std::move(keyPath)) {}

  bool Read(const std::string& section, const std::string& name, StoreValue* value) override;
  StoreStatus WriteNumber(const std::string& section, const std::string& name, uint32_t value) override;
  StoreStatus WriteText(const std::string& section, const std::string& name, const std::string& text) override;
  StoreStatus DeleteValue(const std::string& section, const std::string& name) override;
  StoreStatus DeleteSection(const std::string& section) override;
  bool ListSections(std::vector<std::string>* names) override;
  bool ListValues(const std::string& section, std::vector<std::string>* names) override;

 private:
  std::string KeyPath(const std::string& section) const;
  StoreStatus Write(const std::string& section, const std::string& name, unsigned long type,
                    const void* data, unsigned long size);

  std::string base_;
};

// Texts longer than this are not read back (a settings value is a few
// hundred bytes at most).
constexpr size_t kMaxRegistryText = 64 * 1024;

}  // namespace tsl::win32
