// A PlotterState wired to a call-logging device and an in-memory log, for
// tests that run single commands.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"
#include "interpreter/plotter_state.h"
#include "settings/settings_set.h"
#include "support/call_log_device.h"

namespace tsl::test {

class HandlerFixture {
 public:
  explicit HandlerFixture(const SettingsSet& s = DefaultSettings(), bool measureOnly = false);

  // Runs one command the way the conversion run does: the mnemonic is
  // upper-cased and looked up in the command table, `text` is the command
  // text as the lexer would collect it (for example "PA10,20").
  void Run(const std::string& text);
  // Runs several commands separated by ';' (no labels or other commands
  // whose text contains ';').
  void RunAll(const std::string& commands);
  // IN, then forgets what it recorded and logged.
  void Init();
  void ClearRecords() {
    device.Clear();
    logText.clear();
  }

  SettingsSet settings;
  std::string logText;
  ConversionLog log;
  gdi::Objects objects;
  CallLogDevice device{objects};
  std::vector<Arg> args;
  PlotterState ps;
};

}  // namespace tsl::test
