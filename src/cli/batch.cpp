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
#include "cli/terminal_progress.h"
#include "common/names.h"
#include "common/notify.h"
#include "interpreter/statistics.h"
#include "interpreter/tessella.h"

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
  NotifyUserSE(40052, item.c_str(), SysErrText(error));
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

void PrintMeasurement(const std::string& plot, const RunResult& r) {
  double w = (static_cast<double>(r.xMax) - r.xMin) * 0.025, h = (static_cast<double>(r.yMax) - r.yMin) * 0.025;
  std::printf("%s: Xmin=%d, Ymin=%d, Xmax=%d, Ymax=%d (%s mm wide, %s mm high); %d executed, %d ignored, %d malformed\n",
              plot.c_str(), r.xMin, r.yMin, r.xMax, r.yMax, Gcvt(w, 8).c_str(), Gcvt(h, 8).c_str(), r.nExecuted,
              r.nIgnored, r.nErrors);
  std::fflush(stdout);
}

}  // namespace

std::vector<std::string> FolderPlots(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) names.emplace_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  std::string dir = folder;
  if (dir.empty() || dir.back() != '/') dir += '/';
  std::vector<std::string> out;
  for (const char* ext : {".plt", ".hgl", ".hpg"})
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
    files = FolderPlots(item);
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
  if (settings.AutoPrint) {
    CurrentNotices().Show("Printing is not available yet; '" + job.path + "' was not processed.", "Tessella",
                          NoticeIcon::Error, NoticeButtons::Ok);
    return false;
  }
  OutputNames names;
  if (!MakeNames(job.path, o.placement.useFolder ? o.placement.folder.c_str() : nullptr, &names)) return false;
  if (o.placement.fileGiven) names.metafile = o.placement.folder;
  bool toMemory = settings.Has(PurgeEMF);
  RunEnvironment env;
  env.progress = settings.Has(Quiet) ? nullptr : progress;
  RunResult result;
  int rc = Tessella(settings, names.plot, toMemory ? nullptr : names.metafile.c_str(), names.log, env, &result);
  if (!rc || (cancel && cancel->load())) return false;
  // The log has these too, but an unattended run shows no log and the log
  // may be what could not be written.
  for (const std::string& problem : result.problems)
    CurrentNotices().Show(problem, names.plot, NoticeIcon::Error, NoticeButtons::Ok);
  if (settings.Has(MeasureOnly)) {
    PrintMeasurement(names.plot, result);
    return result.inputOk;
  }
  if (!result.metafileOk) return false;
  bool ok = !settings.AutoExport || ExportAfterConversion(o, settings, names, result);
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
