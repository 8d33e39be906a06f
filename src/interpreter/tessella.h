// The conversion run: one plot file into one enhanced metafile per page,
// with its log.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/gdi/emf_recorder.h"
#include "platform/notices.h"
#include "settings/settings_set.h"

namespace tsl {

class Clock;
class Progress;

// What a front end lends a run. Everything is optional.
struct RunEnvironment {
  // Whom the run tells what the user must hear at once (a plot file that
  // cannot be opened, a log or colour file that cannot be written, the
  // closing message) and asks its one question (whether to show the log).
  // None: nobody is told and the question is answered No.
  Notices* notices = nullptr;
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
  // How a page's metafile is compressed into its EMZ (AutoEMZ): the output
  // layer's CompressEMF, lent by the front end. The EMF bytes compressed,
  // 0 on failure with errno set. None: no EMZ is made, and the log says so.
  using Compressor = std::function<int64_t(const std::string& emzPath, const std::string& emfPath,
                                           const Clock& clock)>;
  Compressor compressEMF;
};

struct RunResult {
  int pages = 0;
  std::vector<std::string> metafiles;     // pages written to files, in order
  // Every file the run wrote and kept, in order: the pages (each replaced
  // by its EMZ when it was compressed), the colour file, the log.
  std::vector<std::string> files;
  std::vector<uint8_t> memoryMetafile;    // the metafile when there was no output path
  bool metafileOk = false;                // every page's metafile was made and closed
  bool cancelled = false;
  bool aborted = false;                   // a fatal error ended the reading early (the log says which)
  bool inputOk = true;                    // the plot file was read to its end
  bool logKept = false;                   // the log file is still there
  // False when an output the run was asked for could not be written; the
  // user was told (log: IDS_WRITE_LOG_FAILED; colour file:
  // IDS_WRITE_COLOR_FILE_FAILED) or, for an EMZ, the log says so and the
  // EMF stays.
  bool logOk = true;
  bool colorFileOk = true;
  bool emzOk = true;
  // What went wrong with the files that the run logged but did not tell
  // (the metafile, the plot file's end, the EMZ), for front ends that
  // report failures without a log.
  std::vector<Notice> problems;
  uint32_t commandBuffer = 0;             // the command buffer's final size
  int32_t nExecuted = 0, nIgnored = 0, nErrors = 0;
  // The entries of the log's body (page splits are not among them): the
  // closing question is asked, and a PurgeLogs log kept, when there are any.
  uint32_t warnings = 0, errors = 0, notes = 0;
  int pageSplits = 0;                     // pages - 1 when pages were split
  bool HasLogEntries() const { return warnings + errors + notes > 0; }
  int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Converts `input` into `output` (nullptr or empty: a memory metafile) with
// the log at `logPath`, using a private copy of `active`. Returns 1 when the
// run took place, even with errors logged, and 0 when it could not start.
int Tessella(const SettingsSet& active, const std::string& input, const char* output,
             const std::string& logPath, const RunEnvironment& env, RunResult* result = nullptr);

// TESSELLA_BANNER: "Tessella 5.4.1110 - HP-GL Plot file conversion utility"
extern const char kBanner[];
extern const char kCopyright[];

}  // namespace tsl
