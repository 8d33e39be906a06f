#include "cli/cli.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/terminal_progress.h"
#include "common/gdi/emf_reader.h"
#include "common/names.h"
#include "interpreter/tessella.h"
#include "settings/settings_set.h"

namespace tsl {

namespace {

std::atomic<bool> gCancel{false};

extern "C" void OnInterrupt(int) { gCancel.store(true); }

const char kUsage[] =
    "Usage: tessella [OPTION]... FILE...\n"
    "Convert HP-GL and HP-GL/2 plot files into Windows Enhanced Metafiles.\n"
    "\n"
    "Each FILE is converted into a metafile beside it (drawing.plt gives\n"
    "drawing.emf) with a conversion log (drawing.log) that lists what could\n"
    "not be converted.\n"
    "\n"
    "  --dump FILE    print the records of a metafile, one per line\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Exit status: 0 when every file converted, 1 when any failed, 2 for a\n"
    "usage error.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "tessella: %s\nTry 'tessella --help' for more information.\n", problem);
  return 2;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = std::strerror(errno);
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    *error = "read error";
    return false;
  }
  return true;
}

int Dump(const char* path) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(path, &bytes, &error)) {
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

// Converts one plot file beside itself. True when its metafile was written.
bool ConvertOne(const SettingsSet& settings, const std::string& file) {
  OutputNames names;
  if (!MakeNames(file, nullptr, &names)) return false;
  TerminalProgress progress(&gCancel);
  RunEnvironment env;
  env.progress = &progress;
  RunResult result;
  int ok = Tessella(settings, names.plot, names.metafile.c_str(), names.log, env, &result);
  return ok && result.metafileOk && !result.cancelled;
}

}  // namespace

int RunCli(int argc, char** argv) {
  std::vector<std::string> files;
  bool endOfOptions = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (!endOfOptions && a[0] == '-' && a[1]) {
      if (!std::strcmp(a, "--")) {
        endOfOptions = true;
      } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
      } else if (!std::strcmp(a, "--version")) {
        std::printf("tessella 5.4.1110\n");
        return 0;
      } else if (!std::strcmp(a, "--dump")) {
        if (i + 1 >= argc) return Usage("--dump needs a metafile");
        return Dump(argv[i + 1]);
      } else {
        return Usage((std::string("unknown option '") + a + "'").c_str());
      }
      continue;
    }
    files.emplace_back(a);
  }
  if (files.empty()) return Usage("no plot file named");

  std::signal(SIGINT, OnInterrupt);
  SettingsSet settings = DefaultSettings();
  settings.Set(Unattended, false);
  int failed = 0;
  for (const std::string& f : files) {
    if (gCancel.load()) break;
    if (!ConvertOne(settings, f)) failed++;
  }
  if (gCancel.load()) return 130;
  return failed ? 1 : 0;
}

}  // namespace tsl
