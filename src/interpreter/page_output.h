// The metafiles of a run: the first page's, one more at every page split,
// and the frame and close of the last.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "common/gdi/emf_recorder.h"
#include "interpreter/pending_page.h"
#include "interpreter/plotter_state.h"
#include "interpreter/tessella.h"

namespace tsl {

class Clock;
class ConversionLog;

// Replaces the EMF by its EMZ beside it through `compress` and logs the
// outcome; the EMF is kept when compression failed. False then, with the
// system's reason in *why when given.
bool CreateEMZ(const std::string& emfPath, ConversionLog* log, const Clock& clock,
               const RunEnvironment::Compressor& compress, std::string* why = nullptr);

class PageOutput {
 public:
  PageOutput(PlotterState& ps, const RunEnvironment& env, std::string description,
             const char* output, int64_t started, const Clock& clock, RunResult& result);
  ~PageOutput();

  // Creates the first page's metafile and sets up its device. False (logged
  // and counted) when it cannot be made.
  bool OpenFirst();
  // Whether PG finishes the page here rather than in its handler.
  bool SplitsPages() const;
  // Closes the page. The next one begins at its first drawing: only then
  // are the closed page's statistics logged and the next metafile made, so
  // that a page advance with nothing after it adds no empty page.
  void NextPage();
  // The next page's metafile could not be made: the run stops.
  bool Stopped() const { return pending_.Failed(); }
  // The end of the run: frees the run's objects, draws the invisible frame
  // and closes the metafile.
  void FinishLast();
  // The summary of the last page when it was closed successfully.
  bool LastSummary(gdi::EmfSummary* summary) const;
  const std::string* LastPath() const { return hasPath_ ? &path_ : nullptr; }
  int PageCount() const { return page_; }
  void ShowInView(const RunEnvironment& env) const;
  // Replaces the last page's metafile by its EMZ (AutoEMZ); a failure is
  // logged, and recorded in the result.
  void CompressLast();
  // The .CLR file beside the metafile: "TSL4", the pen count, the colours.
  // False, after telling IDS_WRITE_COLOR_FILE_FAILED, when it could not be
  // written.
  bool WriteColorFile();

 private:
  bool Create(const std::string* path);
  // The metafile of the page after a page advance, at its first drawing.
  gdi::Device* OpenNext();
  void SetUpDevice();
  bool Close();
  void DrawFrame();
  void Compress(const std::string& emf);

  PlotterState& ps_;
  Notices& notices_;
  gdi::ReferenceDevice ref_;
  RunEnvironment::RecorderFactory memoryRecorder_;
  RunEnvironment::Compressor compress_;
  std::string description_;
  std::string output_;
  bool hasPath_;
  std::string path_;
  int64_t started_;
  const Clock& clock_;
  RunResult& result_;
  std::unique_ptr<gdi::EmfRecorder> recorder_;
  gdi::EmfSummary summary_;
  bool closed_ = false;
  bool allOk_ = true;
  int page_ = 1;
  // A page advanced and nothing drawn since.
  bool waiting_ = false;
  PendingPage pending_;
};

}  // namespace tsl
