#include <csignal>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // Past a file-size limit a write fails with EFBIG and is reported like a
  // full disk, instead of the signal ending the program mid-file.
  std::signal(SIGXFSZ, SIG_IGN);
  return tsl::RunCli(argc, argv);
}
