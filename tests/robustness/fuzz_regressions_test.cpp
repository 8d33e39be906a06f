// Every input that once crashed, hung or upset a sanitizer in a fuzz target
// is kept under tests/data/fuzz/<target>/ and run again here.
#include <gtest/gtest.h>

#include <dirent.h>

#include <string>
#include <vector>

#include "support/fuzz_entries.h"
#include "support/temp_dir.h"

namespace tsl {
namespace {

std::vector<std::string> Inputs(const std::string& folder) {
  std::vector<std::string> files;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') files.push_back(folder + "/" + e->d_name);
    closedir(d);
  }
  return files;
}

TEST(FuzzRegressions, SavedInputsRunCleanly) {
  size_t total = 0;
  for (const fuzz::Target& t : fuzz::Targets()) {
    for (const std::string& file : Inputs(std::string(TESSELLA_TEST_DATA) + "/fuzz/" + t.name)) {
      std::string bytes = test::ReadFile(file);
      SCOPED_TRACE(file);
      t.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++total;
    }
  }
  RecordProperty("inputs", static_cast<int>(total));
}

TEST(FuzzRegressions, EveryTargetTakesEmptyAndTinyInputs) {
  const uint8_t bytes[] = {0xFF, 0x00, 'P', 'D', '1', ',', '1', ';', 0x1B, '%'};
  for (const fuzz::Target& t : fuzz::Targets())
    for (size_t n = 0; n <= sizeof bytes; ++n) t.run(bytes, n);
}

}  // namespace
}  // namespace tsl
