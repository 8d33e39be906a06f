// The settings store as one INI file: the base key's values before the first
// section, one "[section]" per sub-key. Numbers are written "dword:0000001e",
// texts in double quotes with C escapes, so that a text where a number is
// expected stays a text (and reads as the default), as in the registry.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "common/ini_document.h"

namespace tsl {

constexpr const char* kSettingsFileName = "settings.ini";

// TESSELLA_CONFIG_DIR, else $XDG_CONFIG_HOME/tessella, else
// ~/.config/tessella; empty when there is no home folder.
std::string DefaultSettingsFolder();

class FileSettingsStore : public SettingsStore {
 public:
  // An empty folder means DefaultSettingsFolder(), looked up at every access
  // so that a changed environment is followed.
  explicit FileSettingsStore(std::string folder = {});

  bool Read(const std::string& section, const std::string& name, StoreValue* value) override;
  StoreStatus WriteNumber(const std::string& section, const std::string& name, uint32_t value) override;
  StoreStatus WriteText(const std::string& section, const std::string& name, const std::string& text) override;
  StoreStatus DeleteValue(const std::string& section, const std::string& name) override;
  StoreStatus DeleteSection(const std::string& section) override;
  bool ListSections(std::vector<std::string>* names) override;
  bool ListValues(const std::string& section, std::vector<std::string>* names) override;
  void BeginBatch() override;
  StoreStatus EndBatch() override;
  bool TakeReadProblem(std::string* where, std::string* detail) override;

  std::string Folder() const;
  std::string FilePath() const;

 private:
  struct FileId {
    bool exists = false;
    unsigned long long dev = 0, ino = 0, size = 0;
    long long mtimeSec = 0, mtimeNsec = 0;
    bool operator==(const FileId& o) const;
  };
  struct Op {
    enum class Kind { Number, Text, DeleteValue, DeleteSection } kind;
    std::string section, name, text;
    uint32_t number = 0;
  };

  StoreStatus Submit(Op op);
  void Refresh();
  StoreStatus Commit(const std::vector<Op>& ops);
  static bool Apply(IniDocument* doc, const Op& op);
  void ReportDamage(const std::string& path, const FileId& id, const std::string& detail);

  std::recursive_mutex mutex_;
  std::string fixedFolder_;
  std::string cachedPath_;
  FileId cachedId_;
  bool cacheLoaded_ = false;
  bool readable_ = true;  // false: the file exists but cannot be used
  IniDocument doc_;
  std::vector<Op> pending_;
  int batchDepth_ = 0;
  FileId reported_;
  // The damage found and not given out yet.
  std::string problemPath_, problemDetail_;
};

}  // namespace tsl
