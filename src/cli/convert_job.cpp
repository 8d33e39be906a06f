#include "cli/convert_job.h"

#include <cstdio>

#include "cli/auto_export.h"
#include "cli/interrupts.h"
#include "cli/output_guard.h"
#include "cli/report.h"
#include "cli/streams.h"
#include "interpreter/statistics.h"
#include "interpreter/tessella.h"

namespace tsl {

namespace {

// Unknown commands beyond this many, and this many times the commands
// executed, make a file that is no plot (random bytes find a few real
// mnemonics by chance).
constexpr int32_t kNoPlotUnknown = 1000;
constexpr int32_t kNoPlotRatio = 50;

void PrintMeasurement(const std::string& plot, const RunResult& r) {
  double w = (static_cast<double>(r.xMax) - r.xMin) * 0.025, h = (static_cast<double>(r.yMax) - r.yMin) * 0.025;
  std::printf("%s: Xmin=%d, Ymin=%d, Xmax=%d, Ymax=%d (%s mm wide, %s mm high); %d executed, %d ignored, %d malformed\n",
              plot.c_str(), r.xMin, r.yMin, r.xMax, r.yMax, Gcvt(w, 8).c_str(), Gcvt(h, 8).c_str(), r.nExecuted,
              r.nIgnored, r.nErrors);
  std::fflush(stdout);
}

// What the user reads for each file written, in order.
std::vector<std::string> Written(const Job& job, const RunResult& res) {
  std::vector<std::string> names;
  const SettingsSet& s = job.settings;
  std::string metafile;
  if (!job.metafileStream.empty()) metafile = job.metafileStream == "-" ? "standard output" : job.metafileStream;
  else if (!job.metafile.empty()) metafile = job.NameOf(job.metafile);
  if (!metafile.empty()) {
    // -T replaces each page's metafile by its EMZ: the EMZ is what is left.
    bool emz = s.Has(AutoEMZ) && res.emzOk && job.metafileStream.empty();
    std::string first = emz ? ReplaceExtension(metafile, ".emz") : metafile;
    names.push_back(first);
    for (int page = 2; page <= res.pages && job.metafileStream.empty(); ++page) names.push_back(PageName(first, page));
  }
  if (s.Has(WriteColorFile) && job.metafileStream.empty() && !job.metafile.empty())
    names.push_back(ReplaceExtension(metafile, ".CLR"));
  return names;
}

}  // namespace

bool LooksLikeNoPlot(const SettingsSet& s, const RunResult& res, std::string* why) {
  int32_t assumed = s.Has(AssumeIN) || s.Has(ForceDefaults) ? 1 : 0;
  int32_t executed = res.nExecuted - assumed;
  int32_t unknown = res.nIgnored + res.nErrors;
  if (executed <= 0 && unknown == 0) {
    *why = "not a plot file: it holds no HP-GL command";
    return true;
  }
  if (unknown >= kNoPlotUnknown && unknown / kNoPlotRatio > (executed > 0 ? executed : 0)) {
    *why = "not a plot file: " + std::to_string(unknown) + " of its " + std::to_string(unknown + executed) +
           " commands were not understood";
    return true;
  }
  return false;
}

JobStatus ConvertJob(const Job& job, Progress* progress, Reporter& r, bool onlyFile) {
  const std::string& file = job.input;
  if (!job.error.empty()) {
    r.Error(file, job.error);
    return JobStatus::Failed;
  }
  const SettingsSet& s = job.settings;
  if (s.AutoPrint) {
    r.Error(file, "printing is not available yet; not converted");
    return JobStatus::Failed;
  }
  const bool measure = s.Has(MeasureOnly);
  std::string why;
  OutputGuard guard;
  for (const PlannedOutput& out : job.outputs) {
    if (out.stream) continue;
    if (!guard.Keep(out.path, out.paged && s.Has(MultiplePages), &why)) {
      r.Error(file, why);
      return JobStatus::Failed;
    }
  }

  RunEnvironment env;
  env.progress = s.Has(Quiet) ? nullptr : progress;
  RunResult res;
  ReportingFor scope(file);
  int rc = Tessella(s, job.source, job.metafile.empty() ? nullptr : job.metafile.c_str(), job.log, env, &res);
  if (Interrupted() || res.cancelled) {
    guard.Restore();
    return JobStatus::Cancelled;
  }
  // The notice said why it could not start.
  if (!rc) return JobStatus::Failed;

  // A failed file leaves its older outputs; a log that says why stays.
  const bool logShown = job.logKept && job.logStream.empty() && res.logKept;
  const std::string logName = job.NameOf(job.log);
  const std::string logHint = logShown ? " (see " + logName + ")" : "";
  auto fail = [&](const std::string& reason) {
    guard.Restore(logShown ? job.log : std::string());
    if (!job.logStream.empty() && res.logKept) CopyFileToStream(job.log, job.logStream, &why);
    if (!reason.empty()) r.Error(file, reason + logHint);
    return JobStatus::Failed;
  };
  if (LooksLikeNoPlot(s, res, &why)) return fail(why);
  if (res.aborted)
    return fail(res.inputOk ? "the conversion was aborted; nothing was written" : "the conversion was aborted");
  if (!res.inputOk || (!measure && !res.metafileOk && (!job.metafile.empty() || !job.metafileStream.empty()))) {
    std::string problems;
    for (const std::string& p : res.problems) problems += (problems.empty() ? "" : "; ") + p;
    return fail(problems.empty() ? "the metafile could not be written" : problems);
  }
  if (measure) {
    PrintMeasurement(file, res);
    guard.Commit();
    return JobStatus::Converted;
  }
  // Each of these has been told (the log's and colour file's notices, or the
  // problems for an EMZ).
  if (!res.logOk || !res.colorFileOk) return fail(std::string());
  if (!res.emzOk) {
    std::string problems;
    for (const std::string& p : res.problems) problems += (problems.empty() ? "" : "; ") + p;
    return fail(problems);
  }

  std::vector<std::string> written = Written(job, res);
  if (s.AutoExport) {
    bool exported = ExportPages(job, res, &written);
    if (Interrupted()) {
      guard.Restore();
      return JobStatus::Cancelled;
    }
    if (!exported) return fail(std::string());
  }
  if (!job.metafileStream.empty()) {
    bool sent = job.metafile.empty()
                    ? WriteToStream(job.metafileStream, res.memoryMetafile.data(), res.memoryMetafile.size(), &why)
                    : CopyFileToStream(ReplaceExtension(job.metafile, ".emz"), job.metafileStream, &why);
    if (!sent) return fail(why);
  }
  if (!job.logStream.empty() && !CopyFileToStream(job.log, job.logStream, &why)) return fail(why);
  guard.Commit();

  int32_t problems = res.nIgnored + res.nErrors;
  if (problems && !s.Has(NoWarnings)) {
    std::string text = std::to_string(problems) + (problems == 1 ? " command" : " commands") +
                       " could not be converted";
    if (logShown) text += " (see " + logName + ")";
    else if (!job.logKept) text += " (--log FILE keeps the details)";
    r.Warning(file, text);
  }
  if (logShown) written.push_back(logName);
  r.Converted(file, written, onlyFile);
  return problems && !s.Has(NoWarnings) ? JobStatus::Warned : JobStatus::Converted;
}

}  // namespace tsl
