#include "interpreter/page_output.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/atomic_file.h"
#include "common/gdi/emf_bytes.h"
#include "common/names.h"
#include "common/notify.h"
#include "interpreter/output_routines.h"
#include "interpreter/conversion_log.h"
#include "interpreter/gdi_helpers.h"
#include "interpreter/handlers.h"
#include "interpreter/numeric.h"
#include "interpreter/statistics.h"
#include "interpreter/units.h"
#include "platform/debug_output.h"
#include "platform/progress.h"
#include "resources/string_ids.h"

namespace tsl {

bool CreateEMZ(const std::string& emfPath, ConversionLog* log, const Clock& clock,
               const RunEnvironment::Compressor& compress, std::string* why) {
  std::string emzPath = ReplaceExtension(emfPath, ".emz");
  errno = 0;
  if (!compress || compress(emzPath, emfPath, clock) == 0) {
    std::string sys = compress ? GetSysErr().substr(0, 255) : std::string("no compressor was given");
    std::string line = Format("CompressEMF(%s) failed: ", emfPath.c_str()) + sys + "\n";
    if (log) log->Error("%s", line.c_str());
    else DebugOutput(line.c_str());
    if (why) *why = sys;
    return false;
  }
  struct stat st {};
  long size = ::stat(emzPath.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0L;
  std::string line = "\nOutput File:   " + emzPath + Format(" (%ld Bytes)\n", size);
  if (log) log->LogString(line);
  else DebugOutput(line.c_str());
  std::remove(emfPath.c_str());
  return true;
}

PageOutput::PageOutput(PlotterState& ps, const RunEnvironment& env, std::string description,
                       const char* output, int64_t started, const Clock& clock, RunResult& result)
    : ps_(ps), notices_(env.notices ? *env.notices : NoOneToTell()), ref_(env.reference), memoryRecorder_(env.memoryRecorder),
      compress_(env.compressEMF), description_(std::move(description)),
      output_(output ? output : ""),
      hasPath_(output != nullptr), path_(output_), started_(started), clock_(clock), result_(result) {}

PageOutput::~PageOutput() { ps_.hdcMeta = nullptr; }

bool PageOutput::Create(const std::string* path) {
  std::string error;
  if (path) recorder_ = gdi::EmfRecorder::CreateFile(*ps_.objects, *path, description_, ref_, &error);
  else if (memoryRecorder_) recorder_ = memoryRecorder_(*ps_.objects, description_, ref_);
  else recorder_ = gdi::EmfRecorder::CreateMemory(*ps_.objects, description_, ref_);
  if (!recorder_) {
    if (error.empty()) error = GetSysErr();
    ps_.log->Error("CreateEnhMetaFile() failed: %s\n", error.c_str());
    if (path) result_.problems.push_back(MakeSystemNotice(IDS_WRITE_METAFILE_FAILED, *path, error));
    ps_.nErrors++;
    ps_.hdcMeta = nullptr;
    return false;
  }
  closed_ = false;
  return true;
}

void PageOutput::SetUpDevice() {
  gdi::Device& dc = *recorder_;
  dc.SetMapMode(ps_.settings->Has(HighResolution) ? gdi::MM_HIMETRIC : gdi::MM_LOMETRIC);
  dc.SetGraphicsMode(gdi::GM_COMPATIBLE);
}

bool PageOutput::OpenFirst() {
  if (!Create(hasPath_ ? &path_ : nullptr)) return false;
  ps_.hdcMeta = recorder_.get();
  SetUpDevice();
  gdi::Handle pen = ps_.objects->CreatePen(gdi::PS_SOLID, 1, ps_.settings->PenColor[0]);
  SelectReplacing(ps_, pen, &ps_.hpenCurrent);
  recorder_->SelectObject(gdi::GetStockObject(gdi::NULL_BRUSH));
  return true;
}

bool PageOutput::SplitsPages() const {
  // A memory metafile has no name to number; its pages stay together.
  return ps_.settings->Has(MultiplePages) && !ps_.MeasureOnly() && hasPath_;
}

bool PageOutput::Close() {
  if (!recorder_) return false;
  // Taken out first: a recorder that runs out of memory while closing is
  // gone (its file with it) instead of being closed again.
  std::unique_ptr<gdi::EmfRecorder> recorder = std::move(recorder_);
  ps_.hdcMeta = nullptr;
  std::string error;
  closed_ = recorder->Close(&error);
  if (closed_) {
    summary_ = recorder->Summary();
    if (hasPath_) {
      result_.metafiles.push_back(path_);
      result_.files.push_back(path_);
    } else {
      result_.memoryMetafile = recorder->Bytes();
    }
  } else {
    allOk_ = false;
    if (error.empty()) error = GetSysErr();
    ps_.log->Error("CloseEnhMetaFile() failed: %s\n", error.c_str());
    result_.problems.push_back(
        MakeSystemNotice(IDS_WRITE_METAFILE_FAILED, hasPath_ ? path_ : std::string("*memory*"), error));
  }
  ps_.hdcMeta = nullptr;
  return closed_;
}

void PageOutput::NextPage() {
  if (!waiting_) {
    bool ok = Close();
    if (ok && ps_.settings->Has(AutoEMZ)) Compress(result_.metafiles.back());
    recorder_.reset();
    waiting_ = true;
    pending_.Begin(*ps_.objects, {ps_.hpenCurrent, ps_.hfontCurrent, PenColor(ps_)}, [this] { return OpenNext(); });
  }
  ps_.hdcMeta = &pending_;
  // The state of the next page starts here, whenever its metafile is made.
  DoIN(Mnemonic('D', 'F'), "DF;", ps_);
}

gdi::Device* PageOutput::OpenNext() {
  page_++;
  // plan.emf gives plan-2.emf; a name without an extension gets the number appended.
  std::string ext;
  size_t dot = output_.rfind('.');
  if (dot != std::string::npos && ShortName(output_).find('.') != std::string::npos)
    ext = output_.substr(dot);
  else
    dot = output_.size();
  path_ = output_.substr(0, dot) + "-" + std::to_string(page_) + ext;
  if (ps_.progress) ps_.progress->SetTarget(path_);

  ps_.log->LogString("\n");
  LogConversionStats(closed_ ? &summary_ : nullptr, ps_, started_, clock_);
  ps_.log->LogString("\nProcessing next page...");
  ps_.log->LogString("\n\nOutput File: ");
  ps_.log->LogString(path_);
  ps_.log->LogString("\n\n");
  if (!Create(&path_)) {
    allOk_ = false;
    if (ps_.hdcMeta == &pending_) ps_.hdcMeta = nullptr;
    return nullptr;
  }
  SetUpDevice();
  waiting_ = false;
  if (ps_.hdcMeta == &pending_) ps_.hdcMeta = recorder_.get();
  return recorder_.get();
}

void PageOutput::DrawFrame() {
  const SettingsSet& s = *ps_.settings;
  int32_t l, t, r, b;
  if (s.FramePicture < 0) {
    l = 0, t = 0, r = ps_.xPage, b = ps_.yPage;
  } else {
    int64_t m = int64_t{s.FramePicture} * kPlotterUnitsPerMm + 1;
    l = Sat32(ps_.xMin - m), t = Sat32(ps_.yMin - m), r = Sat32(ps_.xMax + m), b = Sat32(ps_.yMax + m);
  }
  gdi::Point corners[5] = {{l, t}, {l, b}, {r, b}, {r, t}, {l, t}};
  for (gdi::Point& p : corners) p = {ScaleCoord(ps_, p.x), ScaleCoord(ps_, p.y)};
  gdi::Device& dc = *recorder_;
  dc.SelectObject(gdi::GetStockObject(gdi::NULL_PEN));
  if (ps_.iLineType == 6) {
    gdi::Point at = dc.GetCurrentPositionEx();
    dc.LineTo(Sat32(int64_t{at.x} + 1), at.y);
    for (const gdi::Point& p : corners) {
      dc.MoveToEx(p.x, p.y);
      dc.LineTo(Sat32(int64_t{p.x} - 1), p.y);
      dc.MoveToEx(p.x, p.y);
    }
  } else {
    dc.Polyline(corners, 5);
    dc.SetPixel(corners[4].x, corners[4].y, PenColor(ps_));
  }
}

void PageOutput::FinishLast() {
  if (waiting_) {
    // The last page advance began no page: the page before it is the last.
    ps_.hdcMeta = nullptr;
    result_.metafileOk = closed_ && allOk_;
    return;
  }
  if (!recorder_) return;
  gdi::Device& dc = *recorder_;
  SelectReplacing(ps_, gdi::GetStockObject(gdi::NULL_PEN), &ps_.hpenCurrent);
  SelectReplacing(ps_, gdi::GetStockObject(gdi::ANSI_FIXED_FONT), &ps_.hfontCurrent);
  dc.SelectClipRgnNone();
  DeleteGdiObject(ps_, ps_.hbrFill);
  ps_.hbrFill = 0;
  DrawFrame();
  bool ok = Close();
  result_.metafileOk = ok && allOk_;
}

void PageOutput::Compress(const std::string& emf) {
  std::string why;
  if (CreateEMZ(emf, ps_.log, clock_, compress_, &why)) {
    for (std::string& f : result_.files)
      if (f == emf) f = ReplaceExtension(emf, ".emz");
    return;
  }
  result_.emzOk = false;
  Notice problem = MakeNotice(IDS_COMPRESS_FAILED, {emf, ReplaceExtension(emf, ".emz")});
  problem.reason = why;
  result_.problems.push_back(problem);
}

void PageOutput::CompressLast() {
  // A page closed by a page advance was compressed then.
  if (closed_ && hasPath_ && !waiting_) Compress(path_);
}

bool PageOutput::LastSummary(gdi::EmfSummary* summary) const {
  if (!closed_) return false;
  *summary = summary_;
  return true;
}

void PageOutput::ShowInView(const RunEnvironment& env) const {
  if (!env.replaceEMF || !closed_) return;
  if (hasPath_) env.replaceEMF(&path_, nullptr);
  else env.replaceEMF(nullptr, &result_.memoryMetafile);
}

bool PageOutput::WriteColorFile() {
  std::string path = ReplaceExtension(output_, ".CLR");
  AtomicFile file;
  bool ok = file.Open(path);
  if (ok) {
    uint16_t n = ps_.nPens;
    std::vector<uint8_t> bytes = {'T', 'S', 'L', '4'};
    gdi::Append16(bytes, n);
    for (unsigned pen = 1; pen <= n && pen < kPenTableSize; ++pen) gdi::Append32(bytes, ps_.settings->PenColor[pen]);
    std::fwrite(bytes.data(), 1, bytes.size(), file.Stream());
    ok = file.Commit();
  }
  if (ok) result_.files.push_back(path);
  else notices_.Tell(MakeSystemNotice(IDS_WRITE_COLOR_FILE_FAILED, path, GetSysErr()));
  return ok;
}

}  // namespace tsl
