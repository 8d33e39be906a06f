// Shared by the settings tests: temporary folders, captured notices, and a
// settings file store in a temporary folder installed as the current store.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/notices.h"
#include "platform/posix/settings_store_file.h"

namespace tsl::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessella-settings-XXXXXX").string();
    path_ = ::mkdtemp(&pattern[0]) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class CapturedNotices : public Notices {
 public:
  CapturedNotices() { SetNotices(this); }
  ~CapturedNotices() override { SetNotices(nullptr); }
  NoticeAnswer Show(const std::string& text, const std::string&, NoticeIcon, NoticeButtons) override {
    texts.push_back(text);
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
};

// A fresh store in <temp>/tessella (not created until the first write).
class StoreTest : public ::testing::Test {
 protected:
  StoreTest() : folder(dir.File("tessella")), store(folder) { SetSettingsStore(&store); }
  ~StoreTest() override { SetSettingsStore(nullptr); }
  std::string SettingsFile() const { return folder + "/" + kSettingsFileName; }

  TempDir dir;
  std::string folder;
  FileSettingsStore store;
  CapturedNotices notices;
};

}  // namespace tsl::test
