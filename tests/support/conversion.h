// Whole conversions for tests: a plot given as text is converted by the real
// conversion run into a memory metafile, and comes back as its record dump
// and its log.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_set.h"

namespace tsl::test {

struct TestConversion {
  int result = 0;             // what Tessella returned
  std::string dump;           // DumpEmf of the metafile (empty when none)
  std::string log;            // the log text, CR LF as written
  std::vector<uint8_t> emf;   // the metafile bytes
};

// Converts `plot` with `settings` at a fixed time, unattended and without
// the closing message.
TestConversion ConvertForTest(const std::string& plot, const SettingsSet& settings = DefaultSettings());

// Whether `text` holds `what`, and how often: for checks on dumps and logs.
inline bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }
inline size_t Occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

// Compares `actual` with tests/data/golden/<name>; with TESSELLA_UPDATE_GOLDEN=1
// in the environment the file is (re)written instead. Review a rewritten
// golden file before committing it.
void ExpectGolden(const std::string& name, const std::string& actual);

}  // namespace tsl::test
