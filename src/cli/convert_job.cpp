#include "cli/convert_job.h"

#include <cstdio>

#include "cli/auto_export.h"
#include "cli/interrupts.h"
#include "cli/output_guard.h"
#include "cli/print_job.h"
#include "cli/report.h"
#include "cli/streams.h"
#include "cli/terminal_notices.h"
#include "interpreter/statistics.h"
#include "interpreter/tessella.h"
#include "interpreter/units.h"
#include "output/emz.h"

namespace tsl {

namespace {

// Unknown commands beyond this many, and this many times the commands
// executed, make a file that is no plot (random bytes find a few real
// mnemonics by chance, and about one in fifty of them runs, since PC, SP and
// the like accept almost any parameters).
constexpr int32_t kNoPlotUnknown = 1000;
constexpr int32_t kNoPlotRatio = 25;

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

// The files the user reads about, as named (links not followed): the run's
// (pages, EMZ, colour file, log) and where a stream went.
std::vector<std::string> Written(const Job& job, const RunResult& res) {
  std::vector<std::string> names;
  if (!job.metafileStream.empty())
    names.push_back(job.metafileStream == "-" ? "standard output" : job.metafileStream);
  for (const std::string& f : res.files) {
    // The run's own copies in the scratch folder are no file of the user's.
    if (!job.metafileStream.empty() && (f == job.metafile || f == ReplaceExtension(job.metafile, ".emz"))) continue;
    if (f == job.log && (!job.logStream.empty() || !job.logKept)) continue;
    names.push_back(job.NameOf(f));
  }
  return names;
}

std::string List(const std::vector<std::string>& names) {
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) list += (i ? (i + 1 == names.size() ? " and " : ", ") : "") + names[i];
  return list;
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
  TerminalNotices notices(file, r);
  // -PM: the files named are metafiles, printed as they are.
  if (s.AutoPrint & AutoPrintMetafiles)
    return PrintMetafileFile(notices, s, job.print, job.source) ? JobStatus::Converted : JobStatus::Failed;
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
  env.notices = &notices;
  env.compressEMF = CompressEMF;
  env.progress = s.Has(Quiet) ? nullptr : progress;
  RunResult res;
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
  // What the run logged but did not tell: the metafile, the plot's end, the EMZ.
  for (const Notice& problem : res.problems) notices.Tell(problem);
  if (!res.inputOk || (!measure && !res.metafileOk && (!job.metafile.empty() || !job.metafileStream.empty())))
    return fail(res.problems.empty() ? "the metafile could not be written" : std::string());
  if (measure) {
    PrintMeasurement(file, res, s.Has(HighResolution));
    guard.Commit();
    return JobStatus::Converted;
  }
  // Each of these has been told (the log's and colour file's notices, or the
  // problems for an EMZ).
  if (!res.logOk || !res.colorFileOk || !res.emzOk) return fail(std::string());

  std::vector<std::string> written = Written(job, res);
  if (s.AutoExport) {
    bool exported = ExportPages(notices, job, res, &written);
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
  // Printed once the files stand; a page that did not print fails the
  // file, and the printer said why.
  if (s.AutoPrint && !PrintConversion(notices, s, job.print, job.input, res)) return JobStatus::Failed;

  // What the log holds besides comments: warnings, and the errors a run
  // goes on after (a refused command).
  uint32_t problems = res.warnings + res.errors;
  if (problems && !s.Has(NoWarnings)) {
    std::string text = std::to_string(problems) + (problems == 1 ? " command" : " commands") +
                       " could not be converted as written";
    if (logShown) text += " (see " + logName + ")";
    else if (!job.logKept) text += " (--log FILE keeps the details)";
    r.Warning(file, text);
  }
  std::string facts;
  if (res.pages > 1) facts = " (" + std::to_string(res.pages) + " pages)";
  r.Converted(file, "wrote " + List(written) + facts, onlyFile);
  return problems && !s.Has(NoWarnings) ? JobStatus::Warned : JobStatus::Converted;
}

}  // namespace tsl
