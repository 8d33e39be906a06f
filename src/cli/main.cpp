#include <csignal>
#include <cstdio>
#include <new>

#include "cli/cli.h"
#include "cli/streams.h"
#include "common/memory.h"

int main(int argc, char** argv) {
  // Past a file-size limit a write fails with EFBIG and is reported like a
  // full disk, instead of the signal ending the program mid-file.
  std::signal(SIGXFSZ, SIG_IGN);
  int status;
  try {
    status = tsl::RunCli(argc, argv);
  } catch (const std::bad_alloc&) {
    // Whatever a conversion had not finished is gone with its owners.
    std::fprintf(stderr, "tessella: error: out of memory (%zu bytes could not be allocated)\n",
                 tsl::FailedAllocationSize());
    return 1;
  }
  // What was printed on standard output must have arrived.
  if (!tsl::CloseStandardOutput() && status == 0) status = 1;
  return status;
}
