// The switches of the command line, the letters and texts of the Windows
// program with '-' in place of '/'. A switch changes the run options of the
// files named after it.
#pragma once
#include <string>
#include <vector>

#include "cli/print_job.h"
#include "settings/settings_set.h"

namespace tsl {

// The run options as the walk over the command line leaves them.
struct CliOptions {
  SettingsSet set;               // the start-up set with the switches applied
  bool useFolder = false;        // outputs go to `folder`
  bool outputFileGiven = false;  // -OF: `folder` is the metafile's name
  std::string folder;
  bool exportSwitchSeen = false; // an export switch came before (for -X)
  bool stop = false;             // -K: nothing after it is processed
  PrintTarget print;             // where -P prints (--printer, --print-to)
};

// What one switch did.
struct SwitchResult {
  size_t consumed = 0;        // characters of the item after the '-'
  bool fileName = false;      // the item from the letter on is a file name
  bool showHelp = false;      // -H, -?
  bool printing = false;      // -P...: printing is asked for
  std::string note;           // a message for the user, if any
};

// Applies the switch whose text (after the '-') starts `text`.
SwitchResult ApplySwitch(const std::string& text, CliOptions& options);

// Splits one command-line word into its switches and file name, applying
// the switches. Returns the file name the word ends with (empty when none).
// `results` receives what each switch did.
std::string WalkItem(const std::string& word, CliOptions& options, std::vector<SwitchResult>* results);

}  // namespace tsl
