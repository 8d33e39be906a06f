#include "cli/cli.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/export_command.h"
#include "cli/settings_command.h"
#include "cli/switches.h"
#include "cli/terminal_notices.h"
#include "common/gdi/emf_reader.h"
#include "output/metafile_load.h"
#include "settings/settings_registry.h"
#include "settings/settings_sets.h"

namespace tsl {

namespace {

std::atomic<bool> gCancel{false};

extern "C" void OnInterrupt(int) { gCancel.store(true); }

const char kUsage[] =
    "Usage: tessella [OPTION]... [SWITCH]... FILE|FOLDER|PATTERN...\n"
    "       tessella settings COMMAND...      (see 'tessella settings --help')\n"
    "       tessella export METAFILE FORMAT... (see 'tessella export --help')\n"
    "       tessella --dump METAFILE\n"
    "Convert HP-GL and HP-GL/2 plot files into Windows Enhanced Metafiles.\n"
    "\n"
    "Each file is converted into a metafile beside it (drawing.plt gives\n"
    "drawing.emf) with a log (drawing.log) that lists what could not be\n"
    "converted. A folder converts its .plt, .hgl and .hpg files; a quoted\n"
    "pattern such as \"*.plt\" is expanded here. A switch applies to the files\n"
    "named after it.\n"
    "\n"
    "Switches (letters in any case):\n"
    "  -A0 -A1 -A2 -A3 -A4    paper ISO A0..A4 (portrait); -ALTR -ALGL -ALGR letter, legal, ledger\n"
    "  -B, -BX                unattended: no messages but errors\n"
    "  -C                     also write the pen colours (.CLR)\n"
    "  -E                     measure only: print the drawing's size on the plot and in\n"
    "                         the metafile, write nothing\n"
    "  -F                     forced defaults for problem files\n"
    "  -IXPC                  ignore PC (pen colour) commands\n"
    "  -MX, -MY               mirror the X or Y axis\n"
    "  -NTGL                  mirror X and rotate by 90 degrees\n"
    "  -O:FOLDER              write the outputs into FOLDER;  -OF:FILE  name the metafile\n"
    "  -P, -PD                print each drawing with the page setup's margins, heading and footer\n"
    "  -PM                    the files named are metafiles (EMF, EMZ, WMF): print them\n"
    "  -Q                     quiet: no progress\n"
    "  -RO:N                  rotate the drawing by N degrees (multiples of 90)\n"
    "  -S:P                   scale the drawing to P percent\n"
    "  -T                     also write a compressed metafile (.emz)\n"
    "  -WPNG[:W] -WJPG[:W] -WBMP[:W]   export a W pixels wide raster copy (800)\n"
    "  -X                     after an export switch: keep no metafile\n"
    "  -Z                     delete the logs of conversions without warnings\n"
    "\n"
    "Options:\n"
    "  --set NAME             convert with the settings set NAME (default: the start-up set)\n"
    "  -O DIR, --output-dir DIR   same as -O:DIR\n"
    "  -j N, --jobs N         convert N files at a time (default 1)\n"
    "  --printer NAME         print on the queue NAME (default: the default queue)\n"
    "  --print-to FILE.pdf    print every page into FILE.pdf instead of on a printer\n"
    "  --dump METAFILE        print the records of an EMF, EMZ or WMF file\n"
    "  --                     the words after it are file names\n"
    "  -H, -?, --help         show this help;  --version  show the version\n"
    "\n"
    "Sizes: a plotter unit is 0.025 mm of the plot; the metafile records it as one\n"
    "unit of 0.1 mm (0.01 mm with HighResolution), unrounded, so a drawing comes\n"
    "out four times its plotted size (twice on paper over 819 mm, where the scale\n"
    "is halved to keep coordinates within 16 bits). The log gives the metafile's.\n"
    "\n"
    "Exit status: 0 when every named file converted, 1 when any failed or a\n"
    "name matched nothing, 2 for a usage error, 130 when interrupted.\n";

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tessella: %s\nTry 'tessella --help' for more information.\n", problem.c_str());
  return 2;
}

int Dump(const char* path) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!LoadMetafileBytes(path, &bytes, &error)) {
    std::fprintf(stderr, "tessella: %s: %s\n", path, error.c_str());
    return 1;
  }
  gdi::EmfReader reader;
  if (!reader.Parse(bytes.data(), bytes.size(), &error)) {
    std::fprintf(stderr, "tessella: %s: %s\n", path, error.c_str());
    return 1;
  }
  std::fputs(gdi::DumpEmf(reader).c_str(), stdout);
  return 0;
}

// "--name VALUE" or "--name=VALUE"; advances i over a separate value.
bool LongValue(int argc, char** argv, int* i, const char* name, std::string* value) {
  size_t n = std::strlen(name);
  const char* a = argv[*i];
  if (std::strncmp(a, name, n) != 0) return false;
  if (a[n] == '=') {
    *value = a + n + 1;
    return true;
  }
  if (a[n] != '\0') return false;
  if (*i + 1 >= argc) {
    *value = "\x01";  // marks a missing value
    return true;
  }
  *value = argv[++*i];
  return true;
}

bool ParseJobs(const std::string& text, int* jobs) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < 1 || v > 256) return false;
  *jobs = static_cast<int>(v);
  return true;
}

}  // namespace

int RunCli(int argc, char** argv) {
  if (argc >= 2 && !std::strcmp(argv[1], "settings")) return RunSettingsCommand(argc - 1, argv + 1);
  if (argc >= 2 && !std::strcmp(argv[1], "export")) return RunExportCommand(argc - 1, argv + 1);

  // Options that change the whole run come first, wherever they stand.
  std::string setName;
  PrintTarget print;
  int jobs = 1;
  std::vector<std::string> words;
  bool literal = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i], v;
    if (literal) {
      words.push_back("\x02" + a);  // a file name, whatever it looks like
      continue;
    }
    if (a == "--") {
      literal = true;
    } else if (a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--version") {
      std::printf("tessella 5.4.1110\n");
      return 0;
    } else if (a == "--dump") {
      if (i + 1 >= argc) return Usage("--dump needs a metafile");
      return Dump(argv[i + 1]);
    } else if (LongValue(argc, argv, &i, "--set", &v)) {
      if (v == "\x01" || v.empty()) return Usage("--set needs the name of a settings set");
      setName = v;
    } else if (LongValue(argc, argv, &i, "--printer", &v)) {
      if (v == "\x01" || v.empty()) return Usage("--printer needs the name of a print queue");
      print.printer = v;
    } else if (LongValue(argc, argv, &i, "--print-to", &v)) {
      if (v == "\x01" || v.empty()) return Usage("--print-to needs the name of a PDF file");
      print.file = v;
    } else if (LongValue(argc, argv, &i, "--jobs", &v)) {
      if (!ParseJobs(v, &jobs)) return Usage("--jobs needs a number from 1 to 256");
    } else if (a == "-j" || (a.size() > 2 && a.compare(0, 2, "-j") == 0 && a[2] >= '0' && a[2] <= '9')) {
      std::string n = a.size() > 2 ? a.substr(2) : (i + 1 < argc ? argv[++i] : "");
      if (!ParseJobs(n, &jobs)) return Usage("-j needs a number from 1 to 256");
    } else if (LongValue(argc, argv, &i, "--output-dir", &v)) {
      if (v == "\x01" || v.empty()) return Usage("--output-dir needs a folder");
      words.push_back("-O:" + v);
    } else if (a == "-O" && i + 1 < argc && argv[i + 1][0] != '-') {
      words.push_back(std::string("-O:") + argv[++i]);
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return Usage("unknown option '" + a + "'");
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) return Usage("no plot file named");

  CliOptions options;
  if (!setName.empty() && !SettingsSectionExists(setName)) {
    std::fprintf(stderr, "tessella: there is no settings set named '%s' (see 'tessella settings list')\n",
                 setName.c_str());
    return 2;
  }
  // Every command line starts from the saved settings with all run options off.
  TerminalNotices notices;
  ReadIniFile(notices, &options.set, setName.empty() ? nullptr : setName.c_str());
  options.print = print;
  // The pages go into the file in the order the files were named.
  if (!print.file.empty()) jobs = 1;

  Batch batch(jobs, &gCancel);
  bool quietSummary = false, sawFile = false, helpShown = false, sawPrint = false;
  for (const std::string& w : words) {
    if (options.stop) break;
    std::string file;
    if (!w.empty() && w[0] == '\x02') {
      file = w.substr(1);
    } else {
      std::vector<SwitchResult> results;
      file = WalkItem(w, options, &results);
      for (const SwitchResult& r : results) {
        if (!r.note.empty()) std::fprintf(stderr, "tessella: %s\n", r.note.c_str());
        sawPrint = sawPrint || r.printing;
        if (r.showHelp && !helpShown) {
          std::fputs(kUsage, stdout);
          helpShown = true;
        }
      }
      if (options.set.Has(Quiet)) quietSummary = true;
    }
    if (!file.empty()) {
      sawFile = true;
      batch.Add(file, options);
    }
  }
  if (!sawFile) {
    if (helpShown || options.stop) return 0;
    return Usage("no plot file named");
  }

  if (!sawPrint && (!print.printer.empty() || !print.file.empty()))
    return Usage("--printer and --print-to say where -P, -PD or -PM print; none was given");

  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  BatchReport report = batch.Run();
  if (!report.cancelled && !FinishPrintFile(notices, print)) report.failed++;
  if (report.cancelled) {
    std::fprintf(stderr, "tessella: interrupted\n");
    return 130;
  }
  if (!quietSummary && report.converted + report.failed > 1)
    std::fprintf(stderr, "%d file%s converted, %d failed\n", report.converted, report.converted == 1 ? "" : "s",
                 report.failed);
  return report.failed ? 1 : 0;
}

}  // namespace tsl
