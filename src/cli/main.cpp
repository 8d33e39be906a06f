#include <csignal>

#include "cli/cli.h"
#include "cli/streams.h"

int main(int argc, char** argv) {
  // Past a file-size limit a write fails with EFBIG and is reported like a
  // full disk, instead of the signal ending the program mid-file.
  std::signal(SIGXFSZ, SIG_IGN);
  int status = tsl::RunCli(argc, argv);
  // What was printed on standard output must have arrived.
  if (!tsl::CloseStandardOutput() && status == 0) status = 1;
  return status;
}
