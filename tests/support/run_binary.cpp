#include "support/run_binary.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
               const std::map<std::string, std::string>& env, const rlimit* fileSize) {
  TempDir io;
  std::string outPath = io.File("out"), errPath = io.File("err");
  ProgramRun run;
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    dup2(in, 0);
    // The signal keeps its default action here: the program must deal
    // with it itself.
    if (fileSize && setrlimit(RLIMIT_FSIZE, fileSize) != 0) _exit(127);
    Exec(args, workdir, env);
  }
  if (pid < 0) return run;
  run.status = WaitFor(pid);
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}
}  // namespace

ProgramRun RunTessella(const std::vector<std::string>& args, const std::string& workdir,
                       const std::map<std::string, std::string>& env) {
  return Run(args, workdir, env, nullptr);
}

ProgramRun RunTessellaLimited(const std::vector<std::string>& args, const std::string& workdir,
                              unsigned long long maxFileBytes) {
  rlimit limit{static_cast<rlim_t>(maxFileBytes), static_cast<rlim_t>(maxFileBytes)};
  return Run(args, workdir, {}, &limit);
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

int WaitFor(int pid) {
  int raw = 0;
  if (waitpid(pid, &raw, 0) != pid) return -1;
  return Status(raw);
}

}  // namespace tsl::test
