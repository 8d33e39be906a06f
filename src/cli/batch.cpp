#include "cli/batch.h"

#include <dirent.h>
#include <fnmatch.h>
#include <glob.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "cli/auto_export.h"
#include "cli/print_job.h"
#include "cli/terminal_notices.h"
#include "cli/terminal_progress.h"
#include "common/names.h"
#include "common/notify.h"
#include "interpreter/statistics.h"
#include "interpreter/tessella.h"
#include "interpreter/units.h"
#include "output/emz.h"
#include "resources/string_ids.h"

namespace tsl {

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasWildcards(const std::string& s) { return s.find_first_of("*?[") != std::string::npos; }

bool HasExtension(const std::string& name, const char* ext) {
  size_t n = std::strlen(ext);
  return name.size() > n && strcasecmp(name.c_str() + name.size() - n, ext) == 0;
}

void ReportNoMatch(const std::string& item, int error) {
  TerminalNotices notices;
  notices.Tell(MakeSystemNotice(IDS_OPEN_FAILED, item, SysErrText(error)));
}

// The settings a job converts with: what the command line set, and for an
// unattended run no clipboard and no messages beyond errors.
SettingsSet JobSettings(const CliOptions& o) {
  SettingsSet s = o.set;
  // There is no clipboard to copy to here.
  s.Set(AutoCopy, false);
  if (s.Has(Unattended)) {
    s.Set(NoNOPWarnings, true);
    s.Set(NoInfoMessages, true);
  }
  return s;
}

// The extents in plotter units, then the drawing's size twice: on the plot
// (0.025 mm a unit) and in the metafile (0.1 mm a unit, as the log gives it).
void PrintMeasurement(const std::string& plot, const RunResult& r, bool highResolution) {
  double w = static_cast<double>(r.xMax) - r.xMin, h = static_cast<double>(r.yMax) - r.yMin;
  std::printf("%s: Xmin=%d, Ymin=%d, Xmax=%d, Ymax=%d (plot: %s mm wide, %s mm high; metafile: %s mm wide, %s mm "
              "high); %d executed, %d ignored, %d malformed\n",
              plot.c_str(), r.xMin, r.yMin, r.xMax, r.yMax, Gcvt(PlotMillimetres(w), 8).c_str(),
              Gcvt(PlotMillimetres(h), 8).c_str(), Gcvt(MetafileMillimetres(w, highResolution), 8).c_str(),
              Gcvt(MetafileMillimetres(h, highResolution), 8).c_str(), r.nExecuted, r.nIgnored, r.nErrors);
  std::fflush(stdout);
}

}  // namespace

std::vector<std::string> FolderPlots(const std::string& folder) { return FolderFiles(folder, {".plt", ".hgl", ".hpg"}); }

std::vector<std::string> FolderFiles(const std::string& folder, std::initializer_list<const char*> extensions) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) names.emplace_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  std::string dir = folder;
  if (dir.empty() || dir.back() != '/') dir += '/';
  std::vector<std::string> out;
  for (const char* ext : extensions)
    for (const std::string& n : names)
      if (HasExtension(n, ext) && !IsFolder(dir + n)) out.push_back(dir + n);
  return out;
}

std::vector<std::string> MatchPattern(const std::string& pattern) {
  std::vector<std::string> out;
  glob_t g{};
  if (glob(pattern.c_str(), 0, nullptr, &g) == 0) {
    for (size_t i = 0; i < g.gl_pathc; ++i)
      if (!IsFolder(g.gl_pathv[i])) out.emplace_back(g.gl_pathv[i]);
  }
  globfree(&g);
  return out;
}

void Batch::Add(const std::string& item, const CliOptions& options) {
  std::vector<std::string> files;
  if (IsFolder(item)) {
    files = options.set.AutoPrint & AutoPrintMetafiles ? FolderFiles(item, {".emf", ".wmf"}) : FolderPlots(item);
    if (files.empty()) {
      ReportNoMatch(item, ENOENT);
      preFailures_++;
      return;
    }
  } else if (HasWildcards(item)) {
    files = MatchPattern(item);
    if (files.empty()) {
      ReportNoMatch(item, ENOENT);
      preFailures_++;
      return;
    }
  } else {
    struct stat st;
    if (stat(item.c_str(), &st) != 0) {
      ReportNoMatch(item, errno);
      preFailures_++;
      return;
    }
    files.push_back(item);
  }
  for (const std::string& f : files) jobs.push_back({f, options});
}

bool ConvertJob(const BatchJob& job, const std::atomic<bool>* cancel, Progress* progress) {
  const CliOptions& o = job.options;
  SettingsSet settings = JobSettings(o);
  TerminalNotices notices(job.path);
  // -PM: the files named are metafiles, printed as they are.
  if (settings.AutoPrint & AutoPrintMetafiles) return PrintMetafileFile(notices, settings, o.print, job.path);
  OutputNames names;
  if (!MakeNames(notices, job.path, o.useFolder ? o.folder.c_str() : nullptr, &names)) return false;
  if (o.outputFileGiven) names.metafile = o.folder;
  bool toMemory = settings.Has(PurgeEMF);
  RunEnvironment env;
  env.notices = &notices;
  env.compressEMF = CompressEMF;
  env.progress = settings.Has(Quiet) ? nullptr : progress;
  RunResult result;
  int rc = Tessella(settings, names.plot, toMemory ? nullptr : names.metafile.c_str(), names.log, env, &result);
  if (!rc || (cancel && cancel->load())) return false;
  // The log has these too, but an unattended run shows no log and the log
  // may be what could not be written.
  for (const Notice& problem : result.problems) notices.Tell(problem);
  if (settings.Has(MeasureOnly)) {
    PrintMeasurement(names.plot, result, settings.Has(HighResolution));
    return result.inputOk;
  }
  // Unattended runs say nothing but errors.
  if (notices.OutcomeWanted() && !settings.Has(Unattended)) notices.TellOutcome(result, names);
  if (!result.metafileOk) return false;
  bool ok = !settings.AutoExport || ExportAfterConversion(notices, settings, names, result);
  if (settings.AutoPrint) ok = PrintConversion(notices, settings, o.print, names.plot, result) && ok;
  // A side file asked for and not written fails the file as well; the user
  // was told (the writers' notices, or the problems above).
  return ok && result.inputOk && result.logOk && result.colorFileOk && result.emzOk;
}

BatchReport Batch::Run() {
  BatchReport report;
  report.failed = preFailures_;
  ProgressBoard board(jobs.size());
  std::atomic<size_t> next{0};
  std::atomic<int> converted{0}, failed{0};
  auto worker = [&] {
    for (;;) {
      if (cancel_ && cancel_->load()) return;
      size_t i = next.fetch_add(1);
      if (i >= jobs.size()) return;
      TerminalProgress progress(&board, cancel_);
      bool ok = ConvertJob(jobs[i], cancel_, &progress);
      (ok ? converted : failed)++;
      board.JobDone();
    }
  };
  size_t threads = std::min<size_t>(static_cast<size_t>(jobs_), jobs.size());
  if (threads <= 1) {
    worker();
  } else {
    std::vector<std::thread> pool;
    for (size_t t = 0; t < threads; ++t) pool.emplace_back(worker);
    for (std::thread& t : pool) t.join();
  }
  report.converted = converted;
  report.failed += failed;
  report.cancelled = cancel_ && cancel_->load();
  return report;
}

}  // namespace tsl
