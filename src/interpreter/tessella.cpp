#include "interpreter/tessella.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstring>
#include <memory>

#include "common/gdi/emf_recorder.h"
#include "common/memory.h"
#include "common/names.h"
#include "common/notify.h"
#include "common/strings.h"
#include "common/version.h"
#include "resources/string_ids.h"
#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"
#include "interpreter/page_output.h"
#include "interpreter/plot_reader.h"
#include "interpreter/statistics.h"
#include "platform/clock.h"
#include "platform/progress.h"

namespace tsl {

const char kBanner[] = TESSELLA_BANNER;
const char kCopyright[] = "Copyright (c) Quillmark. All rights reserved.";

namespace {

void LogHeader(ConversionLog& log, const SettingsSet& s, const std::string& input,
               const char* output, int64_t started) {
  log.LogString(kBanner);
  log.LogString("\n");
  log.LogString(kCopyright);
  log.LogString("\n\n");
  if (s.Has(IgnorePC)) log.LogString("Information:   PC (Pen Color) commands will be ignored\n\n");
  if (s.Has(IgnoreLT)) log.LogString("Information:   LT (Line Type) commands will be ignored\n\n");
  log.LogString("Input File:    ");
  log.LogString(input);
  log.LogString("\nOutput File:   ");
  log.LogString(output ? output : "*memory*");
  log.LogString("\nStarted at:    ");
  log.LogString(CTime(started));
  log.LogString("\n");
}

// "app\0picture\0\0": the banner with the start time, then the plot's name.
std::string Description(int64_t started, const std::string& input) {
  std::string when = CTime(started).substr(0, 24);
  std::string name = ShortName(input).substr(0, 255);
  std::string d = std::string(kBanner) + " (" + when + ")";
  d.push_back('\0');
  d += name;
  d.push_back('\0');
  d.push_back('\0');
  return d;
}

void ApplyForcedDefaults(SettingsSet& s) {
  for (SettingsFlag f : {AssumeIN, CompatibilityMode, NoInfoMessages, NoNOPWarnings, OEMConvert, Normalize})
    s.Set(f, true);
  s.Set(AutoCopy, false);
}

// The closing message of a run, from the active set's flags: the question
// whether to see the log when it says anything, else the information that
// the file was converted.
void ShowClosingMessage(Notices& notices, const SettingsSet& active, bool logged, const std::string& input,
                        const char* output, const std::string& logPath, const RunEnvironment& env) {
  bool measure = active.Has(MeasureOnly);
  if (logged && !active.Has(NoWarnings) && !measure && !active.Has(Unattended)) {
    Notice question = MakeNotice(IDS_VIEW_LOG_QUESTION, {logPath}, NoticeIcon::Question);
    question.buttons = NoticeButtons::YesNo;
    if (notices.Tell(question) == NoticeAnswer::Yes && env.showLog) env.showLog(logPath);
    return;
  }
  if (active.Has(NoInfoMessages) || measure) return;
  unsigned id = active.Has(PurgeEMF) ? IDS_CONVERTED_TO_CLIPBOARD
                : active.Has(AutoCopy) ? IDS_CONVERTED_AND_COPIED
                                       : IDS_CONVERTED;
  notices.Tell(MakeNotice(id, {input, output ? output : "*memory*"}, NoticeIcon::Information));
}

// The run itself; Tessella catches what runs out of memory.
int Convert(const SettingsSet& active, const std::string& input, const char* output, const std::string& logPath,
            const RunEnvironment& env, Notices& notices, RunResult& res) {
  if (output && !*output) output = nullptr;
  const Clock& clock = env.clock ? *env.clock : SystemClock();
  NullProgress noProgress;
  Progress& progress = env.progress ? *env.progress : noProgress;
  const int64_t started = clock.Now();

  auto settings = std::make_unique<SettingsSet>(active);
  bool measure = settings->Has(MeasureOnly);
  PlotReader reader(*settings);
  if (size_t failed = reader.Allocate()) {
    notices.Tell(MakeNotice(IDS_ALLOCATION_FAILED, {std::to_string(failed)}, NoticeIcon::Error));
    return 0;
  }

  InputFile& in = reader.Input();
  if (!in.Open(input)) {
    // The system's text alone, captioned with the plot file.
    Notice cannotOpen;
    cannotOpen.reason = in.ErrorText();
    cannotOpen.icon = NoticeIcon::Error;
    cannotOpen.caption = input;
    notices.Tell(cannotOpen);
    return 0;
  }

  ConversionLog log;
  bool haveLog = log.Create(logPath);
  if (!haveLog) notices.Tell(MakeSystemNotice(IDS_WRITE_LOG_FAILED, logPath, GetSysErr()));
  else LogHeader(log, *settings, input, output, started);

  if (settings->Has(ForceDefaults)) ApplyForcedDefaults(*settings);

  gdi::Objects objects;
  PlotterState ps;
  ps.settings = settings.get();
  ps.log = &log;
  ps.objects = &objects;
  ps.progress = &progress;
  std::copy(std::begin(settings->PenColor), std::end(settings->PenColor), std::begin(ps.crStart));
  reader.Attach(ps);

  PageOutput pages(ps, env, Description(started, input), output, started, clock, res);
  bool metafileOpen = measure || pages.OpenFirst();
  if (metafileOpen) {
    progress.Open(input, output ? output : "*memory*");
    progress.SetMsg("Tessella " TESSELLA_VERSION_WORDS);
    if (settings->Has(AssumeIN)) DoIN(Mnemonic('I', 'N'), "IN;", ps);
    if (settings->Has(LJMode)) ps.bMode &= ~HPGL_MODE;
    else ps.bMode |= HPGL_MODE;
    ps.offCommand = 0;
    reader.Run(ps, pages, &res.cancelled);
    if (!measure) pages.FinishLast();
  }
  if (size_t failed = reader.FailedAllocation())
    notices.Tell(MakeNotice(IDS_ALLOCATION_FAILED, {std::to_string(failed)}, NoticeIcon::Error));

  res.aborted = reader.Aborted();
  res.inputOk = !in.Failed();
  if (!res.inputOk) res.problems.push_back(MakeSystemNotice(IDS_READ_PLOT_FAILED, input, in.ErrorText()));
  in.Close();
  // Without a metafile no pen was read, and an older colour file that
  // belongs to the older metafile is better kept.
  if (settings->Has(WriteColorFile) && !measure && output && metafileOpen) res.colorFileOk = pages.WriteColorFile();
  gdi::EmfSummary summary;
  bool closed = pages.LastSummary(&summary);
  LogConversionStats(closed ? &summary : nullptr, ps, started, clock);
  if (!measure && closed) pages.ShowInView(env);
  if (settings->Has(AutoEMZ)) pages.CompressLast();
  progress.Close();

  // Whether the log says anything is counted, not guessed from its length:
  // the statistics and the lines of a page split are no warnings. A failed
  // EMZ of the last page is logged after the statistics and counts too.
  const ConversionLog::Counts& entries = log.Entries();
  res.warnings = entries.warnings;
  res.errors = entries.errors;
  res.notes = entries.notes;
  bool logged = res.HasLogEntries();

  // A log that is not to be kept is not written out; one that is must reach
  // the disk whole, or the user hears that it did not.
  bool purge = measure || (!logged && settings->Has(PurgeLogs));
  bool logKept = false;
  if (haveLog && purge) {
    log.Discard();
    std::remove(logPath.c_str());
  } else if (haveLog) {
    logKept = log.Close();
    if (logKept) res.files.push_back(logPath);
    if (!logKept) notices.Tell(MakeSystemNotice(IDS_WRITE_LOG_FAILED, logPath, GetSysErr()));
  }
  res.logOk = logKept || measure || (haveLog && purge);

  ShowClosingMessage(notices, active, logged && logKept, input, output, logPath, env);

  res.nExecuted = ps.nExecuted;
  res.nIgnored = ps.nIgnored;
  res.nErrors = ps.nErrors;
  res.xMin = ps.xMin;
  res.yMin = ps.yMin;
  res.xMax = ps.xMax;
  res.yMax = ps.yMax;
  res.pages = pages.PageCount();
  res.pageSplits = res.pages - 1;
  res.commandBuffer = static_cast<uint32_t>(reader.BufferSize());
  res.logKept = logKept;

  if (res.pages > 1 && !measure)
    notices.Tell(MakeNotice(IDS_PAGES_WRITTEN, {std::to_string(res.pages)}, NoticeIcon::Information));
  return 1;
}

}  // namespace

int Tessella(const SettingsSet& active, const std::string& input, const char* output,
             const std::string& logPath, const RunEnvironment& env, RunResult* result) {
  RunResult local;
  RunResult& res = result ? *result : local;
  res = RunResult();
  Notices& notices = env.notices ? *env.notices : NoOneToTell();
  try {
    return Convert(active, input, output, logPath, env, notices, res);
  } catch (const std::bad_alloc&) {
    // Everything the run had made is gone with its owners: no metafile or
    // log is left half-written, and the user hears why.
    res.metafileOk = false;
    res.logKept = false;
    res.logOk = false;
    try {
      notices.Tell(MakeNotice(IDS_ALLOCATION_FAILED, {std::to_string(FailedAllocationSize())}, NoticeIcon::Error));
    } catch (const std::bad_alloc&) {
    }
    return 0;
  }
}

}  // namespace tsl
