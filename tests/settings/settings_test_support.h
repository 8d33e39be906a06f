// Shared by the settings tests: captured notices, and a
// settings file store in a temporary folder installed as the current store.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/notices.h"
#include "platform/posix/settings_store_file.h"
#include "support/temp_dir.h"

namespace tsl::test {

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The texts of the notices told, as the desktop shows them.
class CapturedNotices : public Notices {
 public:
  NoticeAnswer Tell(const Notice& notice) override {
    texts.push_back(NoticeText(notice));
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
