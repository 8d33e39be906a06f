#include "support/conversion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "common/gdi/emf_reader.h"
#include "interpreter/tessella.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace tsl::test {

namespace {
// With TESSELLA_SEED_DIR set, every plot converted by the tests and its
// metafile are kept there: the seed corpora of the fuzz targets.
void SaveSeeds(const std::string& plot, const std::vector<uint8_t>& emf) {
  const char* dir = std::getenv("TESSELLA_SEED_DIR");
  if (!dir || !*dir || plot.size() > 65536) return;
  std::string name = std::to_string(std::hash<std::string>()(plot));
  std::ofstream(std::string(dir) + "/interpreter/" + name + ".plt", std::ios::binary) << plot;
  if (!emf.empty() && emf.size() <= 65536)
    std::ofstream(std::string(dir) + "/emf_reader/" + name + ".emf", std::ios::binary)
        .write(reinterpret_cast<const char*>(emf.data()), static_cast<std::streamsize>(emf.size()));
}
}  // namespace

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
  out.log = ReadLogFile(logPath);
  out.emf = result.memoryMetafile;
  SaveSeeds(plot, out.emf);
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
