// Printing from the command line: -P, -PD and -PM send each file's page
// layout to a CUPS queue (the default one or --printer NAME), or with
// --print-to FILE.pdf collect every printed page into one PDF file.
#pragma once
#include <string>

#include "interpreter/tessella.h"
#include "platform/notices.h"
#include "settings/settings_set.h"

namespace tsl {

struct PrintTarget {
  std::string printer;  // empty: the default queue
  std::string file;     // a PDF file instead of a queue
};

// Prints the pages of a finished conversion of `plot`. False after telling
// `notices` why.
bool PrintConversion(Notices& notices, const SettingsSet& settings, const PrintTarget& target,
                     const std::string& plot, const RunResult& result);
// Prints an existing metafile (EMF, EMZ, WMF) as it is (-PM).
bool PrintMetafileFile(Notices& notices, const SettingsSet& settings, const PrintTarget& target,
                       const std::string& path);
// Writes the pages collected for --print-to; true when there were none.
bool FinishPrintFile(Notices& notices, const PrintTarget& target);

}  // namespace tsl
