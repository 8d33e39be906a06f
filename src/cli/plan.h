// From the named items to the conversions: every input with the names of
// everything it writes, checked before anything is written so that no
// output lands on an input, on another output of the run, on a folder or
// on a device it was not meant for.
#pragma once
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "common/names.h"

namespace tsl {

class ScratchFolder;

// A file a conversion writes or replaces.
struct PlannedOutput {
  std::string name;  // as the user named it or as it was derived
  std::string path;  // where it is written (a link's target)
  bool stream = false;  // written in place: standard output/error or a device
  bool paged = false;   // numbered like the pages of a multi-page plot
};

struct Job {
  std::string input;    // as named ("-" for standard input)
  std::string source;   // the file the run reads (a copy for a stream)
  CliOptions options;
  SettingsSet settings; // what the run converts with
  OutputNames names;    // as derived: plot, metafile, log, bitmap
  // What the run is given: the metafile's path ("" = in memory) and the
  // log's (perhaps in the scratch folder).
  std::string metafile;
  std::string log;
  // Where the bytes go afterwards when not into a file of their own: "-"
  // for standard output, "-2" for standard error, or a device.
  std::string metafileStream, logStream;
  bool logKept = true;       // false: the log is written nowhere the user sees
  std::string exports[kExportFormats];  // "" when not asked; "-" to stream
  std::vector<PlannedOutput> outputs;   // for the guard
  std::string error;         // refused before converting
  PrintTarget print;         // where -P prints

  // The name the user knows a planned output by (`path` when none).
  std::string NameOf(const std::string& path) const {
    for (const PlannedOutput& o : outputs)
      if (o.path == path) return o.name;
    return path;
  }
};

struct Plan {
  std::vector<Job> jobs;
  // Items that stand for nothing: "name: why".
  std::vector<std::pair<std::string, std::string>> missing;
  std::vector<std::string> notes;  // one line per folder with skipped files
};

Plan MakePlan(const CommandLine& cl, ScratchFolder& scratch);

// The name of page `page` (from 2) of a multi-page output: plan.emf gives
// plan-2.emf, as the run names its metafiles.
std::string PageName(const std::string& path, int page);

}  // namespace tsl
