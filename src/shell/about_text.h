// The lines of the About box.
#pragma once
#include <string>

namespace tsl::shell {

std::string AboutProgramName();  // "Tessella"
std::string AboutVersion();      // "Version 5.4.1110"
std::string AboutCopyright();
// The compression and image libraries linked into the program, with the
// versions they report.
std::string AboutLibraries();

}  // namespace tsl::shell
