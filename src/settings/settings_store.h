// Where the settings live: typed values (a number or a text) under a base key
// and its sub-keys, one sub-key per settings set. The registry on Windows, a
// settings file elsewhere. Every access of the program goes through the
// wrappers in settings/settings_registry.h, which work over this seam.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tsl {

struct StoreValue {
  enum class Type { Number, Text };
  Type type = Type::Number;
  uint32_t number = 0;
  std::string text;
};

struct StoreStatus {
  enum class Code { Ok, NotFound, Failed };
  Code code = Code::Ok;
  // For Failed: what went wrong, in the system's words (the text the user
  // sees after "Error writing to the Windows registry").
  std::string systemText;

  bool ok() const { return code == Code::Ok; }
  static StoreStatus Ok() { return {}; }
  static StoreStatus NotFound() { return {Code::NotFound, {}}; }
  static StoreStatus Failed(std::string text) { return {Code::Failed, std::move(text)}; }
};

// The contract (tests/settings/store_contract_test.cpp holds it for every
// implementation):
// - `section` "" is the base key; any other names a sub-key, created by the
//   first write into it. Section and value names compare without regard to
//   case and keep the spelling of their first write.
// - A section name longer than 255 bytes, beginning or ending with a blank,
//   or containing a backslash or a control character, and a value name that
//   is empty, longer than 255 bytes, begins or ends with a blank, begins
//   with ";", "#" or "[", or contains "=" or a control character, are
//   refused (Failed) without touching anything.
// - Reads never create anything and never report: a missing or unreadable
//   value is simply absent.
// - Deleting a value or section that does not exist gives NotFound.
// - Between BeginBatch and EndBatch writes may be held back and made
//   together (and atomically) at EndBatch, whose status then tells whether
//   they reached the store; reads during a batch see the held-back writes.
//   Batches nest; only the outermost EndBatch commits.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  virtual bool Read(const std::string& section, const std::string& name, StoreValue* value) = 0;
  virtual StoreStatus WriteNumber(const std::string& section, const std::string& name, uint32_t value) = 0;
  virtual StoreStatus WriteText(const std::string& section, const std::string& name, const std::string& text) = 0;
  virtual StoreStatus DeleteValue(const std::string& section, const std::string& name) = 0;
  virtual StoreStatus DeleteSection(const std::string& section) = 0;

  // False (and nothing listed) when the base key does not exist. Sections
  // come sorted without regard to case, as the registry enumerates them;
  // values in the order of their first write.
  virtual bool ListSections(std::vector<std::string>* names) = 0;
  virtual bool ListValues(const std::string& section, std::vector<std::string>* names) = 0;

  virtual void BeginBatch() {}
  virtual StoreStatus EndBatch() { return StoreStatus::Ok(); }

  // A store found damaged or unreadable by a read, that nobody was told of
  // yet: where it is and what is wrong. Each is given out once.
  virtual bool TakeReadProblem(std::string* where, std::string* detail) {
    (void)where;
    (void)detail;
    return false;
  }
};

// The name rules of the contract, for every implementation to apply.
bool IsValidStoreSection(const std::string& section);  // "" (the base key) is valid
bool IsValidStoreValueName(const std::string& name);

// .SET files larger than this are refused rather than read (a set takes
// about 1.3 KB there): room for every set the store below can hold, so that
// an export can always be imported again.
constexpr size_t kMaxSettingsFileBytes = 8u << 20;
// The POSIX store's own file: read up to this size, and never written larger.
constexpr size_t kMaxStoreFileBytes = 4u << 20;

// The platform's store for this user.
std::unique_ptr<SettingsStore> CreatePlatformSettingsStore();

// The store the program uses: the one installed with SetSettingsStore, else
// the platform's (made on first use).
SettingsStore& CurrentSettingsStore();
void SetSettingsStore(SettingsStore* store);  // nullptr restores the platform's

// The running program's full path (for the "ImagePath" value).
std::string CurrentProgramPath();

// Whole-file reads for settings files (.SET files and the POSIX store):
// at most `maxBytes` (a longer file is refused). They are written through
// the one writer, WriteFileAtomically (common/atomic_file.h).
enum class FileReadResult { Ok, Missing, TooLarge, Failed };
FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes, std::string* bytes,
                             std::string* systemText);

}  // namespace tsl
