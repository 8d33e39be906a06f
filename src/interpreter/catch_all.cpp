#include <cstring>

#include "interpreter/conversion_log.h"
#include "interpreter/handlers.h"

namespace tsl {

namespace {
const char* LongName(uint16_t mnemonic) {
  static const struct {
    char a, b;
    const char* name;
  } kNames[] = {
      {'A', 'T', "Arc Three Point"}, {'R', 'T', "Relative Arc Three Point"},
      {'L', 'A', "Line Attribute"}, {'R', 'F', "Raster Fill"}, {'S', 'V', "Screened Vectors"},
      {'T', 'R', "Transparency Mode"}, {'U', 'L', "User-defined Line Type"},
      {'A', 'D', "Define Alternate Font"}, {'C', 'F', "Character Fill Mode"},
      {'C', 'T', "Chord Tolerance"}, {'P', 'P', "Pixel Placement"}, {'M', 'T', "Media Type"},
      {'N', 'R', "Not Ready"}, {'O', 'D', "Output Digitized Point and Pen Status"},
      {'O', 'E', "Output Error"}, {'O', 'H', "Output Hard-Clip Limits"},
      {'O', 'I', "Output Identification"}, {'O', 'P', "Output P1 and P2"},
      {'O', 'S', "Output Status"}, {'Q', 'L', "Quality Level"},
  };
  for (const auto& n : kNames)
    if (Mnemonic(n.a, n.b) == mnemonic) return n.name;
  return "?unknown?";
}
}  // namespace

void LogNotImplemented(const char* longName, const char* text, PlotterState& ps) {
  if (ps.settings->Has(NoNOPWarnings)) return;
  ps.log->Warning("'%s' command(s) not implemented: '%s' at offset 0x%lx\n", longName, text,
               static_cast<unsigned long>(ps.offCommand));
}

void DoNOP(uint16_t, const char*, PlotterState& ps) { ps.nIgnored++; }

void DoUNK(uint16_t, const char* text, PlotterState& ps) {
  ps.log->Error("Error: Unregcognized HP-GL command: '%s' at offset 0x%lx\n", text,
               static_cast<unsigned long>(ps.offCommand));
  ps.nIgnored++;
}

void PlaceHolder(uint16_t mnemonic, const char* text, PlotterState& ps) {
  LogNotImplemented(LongName(mnemonic), text, ps);
  ps.nIgnored++;
}

}  // namespace tsl
