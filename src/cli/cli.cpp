#include "cli/cli.h"

#include <cerrno>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/check_update.h"
#include "cli/export_command.h"
#include "cli/settings_command.h"
#include "cli/arguments.h"
#include "cli/help_text.h"
#include "cli/inputs.h"
#include "cli/interrupts.h"
#include "cli/plan.h"
#include "cli/print_job.h"
#include "cli/report.h"
#include "cli/streams.h"
#include "cli/terminal_notices.h"
#include "common/gdi/emf_reader.h"
#include "common/version.h"
#include "output/metafile_load.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"

namespace tsl {

namespace {

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tessella: %s\nTry 'tessella --help' for more information.\n", problem.c_str());
  return 2;
}

int Dump(const std::string& name) {
  std::vector<uint8_t> bytes;
  std::string error, path = name;
  ScratchFolder scratch;
  if (name == "-") {
    path = scratch.NewName("stdin", &error);
    if (path.empty() || !SpoolInput("-", path, &error)) {
      std::fprintf(stderr, "tessella: -: error: %s\n", error.c_str());
      return 1;
    }
  }
  if (!LoadMetafileBytes(path, &bytes, &error)) {
    std::fprintf(stderr, "tessella: %s: error: %s\n", name.c_str(), error.c_str());
    return 1;
  }
  gdi::EmfReader reader;
  if (!reader.Parse(bytes.data(), bytes.size(), &error)) {
    std::fprintf(stderr, "tessella: %s: error: %s\n", name.c_str(), error.c_str());
    return 1;
  }
  std::fputs(gdi::DumpEmf(reader).c_str(), stdout);
  return 0;
}

}  // namespace

int RunCli(int argc, char** argv) {
  if (argc >= 2 && !std::strcmp(argv[1], "settings")) return RunSettingsCommand(argc - 1, argv + 1);
  if (argc >= 2 && !std::strcmp(argv[1], "export")) return RunExportCommand(argc - 1, argv + 1);
  if (argc >= 2 && !std::strcmp(argv[1], "--check-update")) return RunCheckUpdate(argc - 1, argv + 1);

  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
    if (args[i] != "--dump") continue;
    if (i + 1 >= args.size()) return Usage("--dump needs a metafile");
    return Dump(args[i + 1]);
  }
  std::string setName, problem;
  if (!ReadSetName(args, &setName, &problem)) return Usage(problem);
  if (!setName.empty() && !SettingsSectionExists(setName)) {
    std::fprintf(stderr, "tessella: there is no settings set named '%s' (see 'tessella settings list')\n",
                 setName.c_str());
    return 2;
  }
  // Every command line starts from the saved settings with all run options off.
  Reporter reporter(Verbosity::Normal, isatty(STDERR_FILENO) != 0);
  TerminalNotices notices(std::string(), reporter);
  SettingsSet base;
  ReadIniFile(notices, &base, setName.empty() ? nullptr : setName.c_str());
  CommandLine cl = ParseArguments(args, base);
  if (!cl.error.empty()) return Usage(cl.error);
  if (cl.version) {
    std::printf("tessella %s\n", TESSELLA_VERSION);
    return 0;
  }
  if (cl.help) {
    std::fputs(kHelpText, stdout);
    return 0;
  }
  reporter.SetVerbosity(cl.verbosity);
  for (const std::string& w : cl.warnings) reporter.Warning(std::string(), w);
  if (cl.items.empty()) return Usage("no plot file named");

  CatchInterrupts();
  ScratchFolder scratch;
  Plan plan = MakePlan(cl, scratch);
  BatchReport report;
  if (!Interrupted()) {
    for (const auto& [name, why] : plan.missing) reporter.Error(name, why);
    for (const std::string& note : plan.notes) reporter.Note(note);
    report = RunBatch(plan.jobs, cl.jobs, reporter);
    if (!report.cancelled && !Interrupted() && !FinishPrintFile(notices, cl.print)) report.failed++;
  }
  if (report.cancelled || Interrupted()) {
    scratch.Remove();
    reporter.Interrupted();
    DieOfInterrupt();
    return 130;
  }
  int failed = report.failed + static_cast<int>(plan.missing.size());
  if (plan.jobs.size() + plan.missing.size() > 1) reporter.Summary(report.converted, report.warned, failed);
  return failed ? 1 : 0;
}

}  // namespace tsl
