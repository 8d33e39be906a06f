// File names: the short name of a path and the output names of a plot file.
#pragma once
#include <string>

#include "platform/notices.h"

namespace tsl {

// The part after the last backslash or slash (else after the last colon, else
// the whole path).
std::string ShortName(const std::string& path);

struct OutputNames {
  std::string plot;      // the plot file, blanks and quotes trimmed
  std::string metafile;  // .emf
  std::string log;       // .log
  std::string bitmap;    // .bmp
};

// The metafile, log and bitmap names of a plot file, beside it or in
// `folder` when one is given. False, after telling IDS_BAD_PLOT_EXTENSION,
// for a plot file named .EMF, .EMZ, .LOG or .BMP.
bool MakeNames(Notices& notices, const std::string& plotFile, const char* folder, OutputNames* names);

// `path` with the text from its last dot (in the last path component)
// replaced by `ext` (appended when there is no dot).
std::string ReplaceExtension(const std::string& path, const char* ext);

}  // namespace tsl
