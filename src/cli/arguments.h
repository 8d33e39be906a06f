// The arguments of `tessella`: the switches of the Windows program with
// '-' (each applies to the files named after it) and GNU options, which
// apply to every file wherever they stand.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cli/print_job.h"
#include "output/raster_export.h"
#include "settings/settings_set.h"
#include "settings/switch_grammar.h"

namespace tsl {

constexpr int kExportFormats = 3;  // indexed by ExportFormat

// The run options of the files named at one place of the command line.
struct CliOptions {
  SettingsSet set;
  OutputPlacement placement;
  // Each format keeps its own width (the window has one for all).
  uint32_t exportWidth[kExportFormats] = {800, 800, 800};
};

struct NamedItem {
  std::string name;  // a file, folder or pattern; "-" is standard input
  bool literal = false;  // named after "--": never a pattern
  CliOptions options;
};

enum class Verbosity { Quiet, Normal, Verbose };

struct CommandLine {
  std::vector<NamedItem> items;
  std::string setName;      // --set
  int jobs = 1;             // -j
  bool recursive = false;   // -r: folders are searched below too
  Verbosity verbosity = Verbosity::Normal;
  std::string output;       // -o: one output's own name ("-" standard output)
  std::string log;          // --log: the log's name ("-" standard error)
  PrintTarget print;        // --printer, --print-to: where -P prints
  bool help = false, version = false;
  std::vector<std::string> warnings;
  std::string error;        // a usage error: nothing is converted
};

// Reads the arguments after the program's name. `base` is the settings set
// the walk starts from; `setName` receives --set first so that the caller
// can load it (ReadSetName).
CommandLine ParseArguments(const std::vector<std::string>& args, const SettingsSet& base);
// The --set given, if any ("" when none); false with *error for a bad form.
bool ReadSetName(const std::vector<std::string>& args, std::string* name, std::string* error);

}  // namespace tsl
