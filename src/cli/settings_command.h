// "tessella settings ...": list, show, change, export and import the
// settings sets from the command line. argv[0] is "settings".
#pragma once
#include <iosfwd>

namespace tsl {

// Exit status: 0 done, 1 failed, 2 usage error.
int RunSettingsCommand(int argc, char** argv);
int RunSettingsCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tsl
