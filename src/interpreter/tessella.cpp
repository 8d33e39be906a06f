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
#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"
#include "interpreter/page_output.h"
#include "interpreter/plot_reader.h"
#include "interpreter/statistics.h"
#include "output/emz.h"
#include "platform/clock.h"
#include "platform/progress.h"

namespace tsl {

const char kBanner[] = "Tessella 5.4.1110 - HP-GL Plot file conversion utility";
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

// The closing message of a run, from the active set's flags.
void ShowClosingMessage(const SettingsSet& active, bool logged, const std::string& input,
                        const char* output, const std::string& logPath, const RunEnvironment& env) {
  bool measure = active.Has(MeasureOnly);
  if (logged && !active.Has(NoWarnings) && !measure && !active.Has(Unattended)) {
    std::string text;
    if (!LoadString(40002, &text)) text = "View the log file?";
    NoticeAnswer a = CurrentNotices().Show(text, "Tessella", NoticeIcon::Question, NoticeButtons::YesNo);
    if (a == NoticeAnswer::Yes && env.showLog) env.showLog(logPath);
    return;
  }
  if (active.Has(NoInfoMessages) || measure) return;
  unsigned id = active.Has(PurgeEMF) ? 39999 : active.Has(AutoCopy) ? 40000 : 40001;
  std::string fmt, text;
  const char* out = output ? output : "*memory*";
  if (LoadString(id, &fmt))
    text = Format(fmt.c_str(), input.c_str(), out);
  else
    text = Format("Error loading string #%d!\r\nPlease contact the author (see the Tessella help file) and report this error.\r\nThank you.", static_cast<int>(id));
  CurrentNotices().Show(text, "Tessella", NoticeIcon::Information, NoticeButtons::Ok);
}

}  // namespace

int Tessella(const SettingsSet& active, const std::string& input, const char* output,
             const std::string& logPath, const RunEnvironment& env, RunResult* result) {
  RunResult local;
  RunResult& res = result ? *result : local;
  res = RunResult();
  if (output && !*output) output = nullptr;
  const Clock& clock = env.clock ? *env.clock : SystemClock();
  NullProgress noProgress;
  Progress& progress = env.progress ? *env.progress : noProgress;
  const int64_t started = clock.Now();

  auto settings = std::make_unique<SettingsSet>(active);
  bool measure = settings->Has(MeasureOnly);
  PlotReader reader(*settings);
  if (!reader.Allocate()) return 0;

  InputFile& in = reader.Input();
  if (!in.Open(input)) {
    CurrentNotices().Show(in.ErrorText(), input, NoticeIcon::Error, NoticeButtons::Ok);
    return 0;
  }

  ConversionLog log;
  bool haveLog = log.Create(logPath);
  if (!haveLog) NotifyUserSE(40049, logPath.c_str());
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
  uint32_t mark = 0;
  bool metafileOpen = measure || pages.OpenFirst();
  if (metafileOpen) {
    mark = log.nLogLines;
    progress.Open(input, output ? output : "*memory*");
    progress.SetMsg("Tessella Version 5.4 Build 1110");
    if (settings->Has(AssumeIN)) DoIN(Mnemonic('I', 'N'), "IN;", ps);
    if (settings->Has(LJMode)) ps.bMode &= ~HPGL_MODE;
    else ps.bMode |= HPGL_MODE;
    ps.offCommand = 0;
    reader.Run(ps, pages, &res.cancelled);
    if (!measure) pages.FinishLast();
  }

  res.inputOk = !in.Failed();
  if (!res.inputOk) res.problems.push_back("the plot file could not be read to its end: " + in.ErrorText());
  in.Close();
  // Without a metafile no pen was read, and an older colour file that
  // belongs to the older metafile is better kept.
  if (settings->Has(WriteColorFile) && !measure && output && metafileOpen) res.colorFileOk = pages.WriteColorFile();
  uint32_t linesBeforeStats = log.nLogLines;
  gdi::EmfSummary summary;
  bool closed = pages.LastSummary(&summary);
  LogConversionStats(closed ? &summary : nullptr, ps, started, clock);
  if (!measure && closed) pages.ShowInView(env);
  if (settings->Has(AutoEMZ)) pages.CompressLast();
  progress.Close();

  // A log that is not to be kept is not written out; one that is must reach
  // the disk whole, or the user hears that it did not.
  bool purge = measure || (linesBeforeStats == mark && settings->Has(PurgeLogs));
  bool logKept = false;
  if (haveLog && purge) {
    log.Discard();
    std::remove(logPath.c_str());
  } else if (haveLog) {
    logKept = log.Close();
    if (!logKept) NotifyUserSE(40049, logPath.c_str());
  }
  res.logOk = logKept || measure || (haveLog && purge);

  ShowClosingMessage(active, linesBeforeStats != mark && logKept, input, output, logPath, env);

  res.nExecuted = ps.nExecuted;
  res.nIgnored = ps.nIgnored;
  res.nErrors = ps.nErrors;
  res.xMin = ps.xMin;
  res.yMin = ps.yMin;
  res.xMax = ps.xMax;
  res.yMax = ps.yMax;
  res.pages = pages.PageCount();
  res.commandBuffer = static_cast<uint32_t>(reader.BufferSize());
  res.logKept = logKept;

  if (res.pages > 1 && !measure) {
    std::string fmt;
    std::string text = LoadString(40004, &fmt)
                           ? Format(fmt.c_str(), res.pages)
                           : Format("Drawing contains %d pages. Use the File|Open MetaFile... command to view the plots.", res.pages);
    CurrentNotices().Show(text, "Tessella", NoticeIcon::Information, NoticeButtons::Ok);
  }
  return 1;
}

}  // namespace tsl
