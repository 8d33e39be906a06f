// The conversion run: one plot file into one enhanced metafile per page,
// with its log.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/gdi/emf_recorder.h"
#include "settings/settings_set.h"

namespace tsl {

class Clock;
class Progress;

// What a front end lends a run. Everything is optional.
struct RunEnvironment {
  Progress* progress = nullptr;     // none: no progress, no cancel
  const Clock* clock = nullptr;     // none: the system clock
  gdi::ReferenceDevice reference;   // the metafile's reference device
  // The finished drawing for the view (ReplaceEMF): the path of the last
  // page, or its bytes for a memory metafile.
  std::function<void(const std::string* path, const std::vector<uint8_t>* bytes)> replaceEMF;
  // Opens the log in a viewer when the user asks to see it.
  std::function<void(const std::string& logPath)> showLog;
  // Makes the recorder of a memory metafile in place of EmfRecorder's own,
  // from the run's objects, the description and `reference`; nullptr when
  // it cannot. The Windows tests record a conversion on GDI's metafile DC
  // through it. Metafiles written to files always use EmfRecorder.
  using RecorderFactory = std::function<std::unique_ptr<gdi::EmfRecorder>(
      gdi::Objects& objects, const std::string& description, const gdi::ReferenceDevice& reference)>;
  RecorderFactory memoryRecorder;
};

struct RunResult {
  int pages = 0;
  std::vector<std::string> metafiles;     // pages written to files, in order
  std::vector<uint8_t> memoryMetafile;    // the metafile when there was no output path
  bool metafileOk = false;                // every page's metafile was made and closed
  bool cancelled = false;
  bool aborted = false;                   // a fatal error ended the reading early (the log says which)
  bool inputOk = true;                    // the plot file was read to its end
  bool logKept = false;                   // the log file is still there
  // False when an output the run was asked for could not be written; the
  // user was told (log: notice 40049; colour file: 40057) or, for an EMZ,
  // the log says so and the EMF stays.
  bool logOk = true;
  bool colorFileOk = true;
  bool emzOk = true;
  // What went wrong with the files, one sentence each, for front ends that
  // report failures without a log (the log says the same, if it exists).
  std::vector<std::string> problems;
  uint32_t commandBuffer = 0;             // the command buffer's final size
  int32_t nExecuted = 0, nIgnored = 0, nErrors = 0;
  int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Converts `input` into `output` (nullptr or empty: a memory metafile) with
// the log at `logPath`, using a private copy of `active`. Returns 1 when the
// run took place, even with errors logged, and 0 when it could not start.
int Tessella(const SettingsSet& active, const std::string& input, const char* output,
             const std::string& logPath, const RunEnvironment& env, RunResult* result = nullptr);

// "Tessella 5.4.1110 - HP-GL Plot file conversion utility"
extern const char kBanner[];
extern const char kCopyright[];

}  // namespace tsl
