// The command line of `tessella`.
#pragma once

namespace tsl {

// Runs the command line; returns the exit status: 0 when every named file
// converted, 1 when any failed, 2 for a usage error.
int RunCli(int argc, char** argv);

}  // namespace tsl
