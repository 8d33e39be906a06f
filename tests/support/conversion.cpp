#include "support/conversion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "common/gdi/emf_reader.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace tsl::test {

TestConversion ConvertForTest(const std::string& plot, const SettingsSet& settings) {
  TempDir dir;
  std::string input = dir.Write("plot.plt", plot);
  std::string logPath = dir.File("plot.log");
  FixedClock clock(1700000000);
  RunEnvironment env;
  env.clock = &clock;
  RunResult result;
  // No closing message or question: tests convert in several threads at once.
  SettingsSet quiet = settings;
  quiet.Set(Unattended, true);
  quiet.Set(NoInfoMessages, true);
  TestConversion out;
  out.result = Tessella(quiet, input, nullptr, logPath, env, &result);
  out.log = ReadFile(logPath);
  out.emf = result.memoryMetafile;
  if (!out.emf.empty()) {
    gdi::EmfReader reader;
    std::string error;
    if (reader.Parse(out.emf.data(), out.emf.size(), &error))
      out.dump = gdi::DumpEmf(reader);
    else
      ADD_FAILURE() << "the metafile does not parse: " << error;
  }
  return out;
}

void ExpectGolden(const std::string& name, const std::string& actual) {
  std::string path = std::string(TESSELLA_TEST_DATA) + "/golden/" + name;
  const char* update = std::getenv("TESSELLA_UPDATE_GOLDEN");
  if (update && *update == '1') {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  if (!FileExists(path)) {
    ADD_FAILURE() << "no golden file " << path << " (run with TESSELLA_UPDATE_GOLDEN=1 and review it)";
    return;
  }
  std::string expected = ReadFile(path);
  EXPECT_EQ(expected, actual) << "differs from " << path;
}

}  // namespace tsl::test
