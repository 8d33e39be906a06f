// Runs the real `tessella` program, for tests of the command line.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace tsl::test {

struct ProgramRun {
  int status = -1;  // the exit status, or 128 + signal
  std::string out, err;
};

// Runs `tessella` with `args` in `workdir`, with `env` added to the
// environment (TESSELLA_CONFIG_DIR points into `workdir` unless given).
ProgramRun RunTessella(const std::vector<std::string>& args, const std::string& workdir,
                       const std::map<std::string, std::string>& env = {});

// The same under a file-size limit of `maxFileBytes` (a full disk that a
// test can set up without mounting one): writes past it fail with EFBIG.
ProgramRun RunTessellaLimited(const std::vector<std::string>& args, const std::string& workdir,
                              unsigned long long maxFileBytes);

// The path of the program under test.
std::string TessellaBinary();

// Runs `script` with bash in `workdir` (TESSELLA_CONFIG_DIR there too);
// standard output in `out`, standard error in `err`.
ProgramRun RunShell(const std::string& script, const std::string& workdir);

// How a run is set up beyond its arguments.
struct RunSetup {
  std::map<std::string, std::string> env;
  std::string input;       // standard input's bytes (a file); none: /dev/null
  bool terminal = false;   // standard error is a terminal (its text in `err`)
  bool terminalOut = false;  // standard output too (its text also in `err`)
  std::string output;      // standard output goes to this file instead of `out`
};
ProgramRun RunTessellaWith(const std::vector<std::string>& args, const std::string& workdir, const RunSetup& setup);

// Starts `tessella` and returns its process id, for tests that stop it.
int StartTessella(const std::vector<std::string>& args, const std::string& workdir);
// Waits for a started process; the exit status or 128 + signal.
int WaitFor(int pid);
// The same, telling an exit status of 130 from death by SIGINT: the signal
// that ended the process, or 0 when it exited (its status in *status).
int WaitForSignal(int pid, int* status = nullptr);

}  // namespace tsl::test
