#include "support/run_binary.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "support/temp_dir.h"

#ifndef TESSELLA_BINARY
#define TESSELLA_BINARY "tessella"
#endif

namespace tsl::test {

namespace {

[[noreturn]] void Exec(const std::vector<std::string>& args, const std::string& workdir,
                       const std::map<std::string, std::string>& env) {
  if (chdir(workdir.c_str()) != 0) _exit(127);
  setenv("TESSELLA_CONFIG_DIR", (workdir + "/.config").c_str(), 1);
  for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
  std::vector<char*> argv;
  std::string program = TESSELLA_BINARY;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

int Status(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

}  // namespace

namespace {
ProgramRun Run(const std::vector<std::string>& args, const std::string& workdir,
               const std::map<std::string, std::string>& env, const rlimit* fileSize,
               const RunSetup& setup = RunSetup()) {
  TempDir io;
  std::string outPath = setup.output.empty() ? io.File("out") : setup.output, errPath = io.File("err");
  std::string inPath = "/dev/null";
  if (!setup.input.empty()) inPath = io.Write("in", setup.input);
  int master = -1, slave = -1;
  if ((setup.terminal || setup.terminalOut) && openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    return ProgramRun();
  ProgramRun run;
  pid_t pid = fork();
  if (pid == 0) {
    int out = setup.terminalOut ? slave : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = slave >= 0 ? slave : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open(inPath.c_str(), O_RDONLY);
    if (out < 0 || err < 0 || in < 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    dup2(in, 0);
    if (master >= 0) close(master);
    // The signal keeps its default action here: the program must deal
    // with it itself.
    if (fileSize && setrlimit(RLIMIT_FSIZE, fileSize) != 0) _exit(127);
    Exec(args, workdir, env);
  }
  if (pid < 0) return run;
  if (master >= 0) {
    // Read the terminal while the program writes, until it closes it.
    close(slave);
    char buffer[4096];
    for (;;) {
      ssize_t n = read(master, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      run.err.append(buffer, static_cast<size_t>(n));
    }
    close(master);
  }
  run.status = WaitFor(pid);
  if (setup.output.empty() && !setup.terminalOut) run.out = ReadFile(outPath);
  if (master < 0) run.err = ReadFile(errPath);
  return run;
}
}  // namespace

ProgramRun RunTessella(const std::vector<std::string>& args, const std::string& workdir,
                       const std::map<std::string, std::string>& env) {
  return Run(args, workdir, env, nullptr);
}

ProgramRun RunTessellaWith(const std::vector<std::string>& args, const std::string& workdir, const RunSetup& setup) {
  return Run(args, workdir, setup.env, nullptr, setup);
}

ProgramRun RunTessellaLimited(const std::vector<std::string>& args, const std::string& workdir,
                              unsigned long long maxFileBytes) {
  rlimit limit{static_cast<rlim_t>(maxFileBytes), static_cast<rlim_t>(maxFileBytes)};
  return Run(args, workdir, {}, &limit);
}

std::string TessellaBinary() { return TESSELLA_BINARY; }

ProgramRun RunShell(const std::string& script, const std::string& workdir) {
  TempDir io;
  std::string outPath = io.File("out"), errPath = io.File("err");
  ProgramRun run;
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(workdir.c_str()) != 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    dup2(in, 0);
    setenv("TESSELLA_CONFIG_DIR", (workdir + "/.config").c_str(), 1);
    execl("/bin/bash", "bash", "-c", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) return run;
  run.status = WaitFor(pid);
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}

int StartTessella(const std::vector<std::string>& args, const std::string& workdir) {
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    Exec(args, workdir, {});
  }
  return pid;
}

int WaitForSignal(int pid, int* status) {
  int raw = 0;
  if (waitpid(pid, &raw, 0) != pid) return -1;
  if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
}

int WaitFor(int pid) {
  int raw = 0;
  if (waitpid(pid, &raw, 0) != pid) return -1;
  return Status(raw);
}

}  // namespace tsl::test
