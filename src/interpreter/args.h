// Parameter parsing and the shared parameter-error message.
#pragma once
#include <cstdint>

#include "interpreter/plotter_state.h"

namespace tsl {

// Parses the parameters after the two mnemonic characters of `text` into
// `args` (at most `maxArgs`), logging range and count warnings with
// `offset`. Returns the number parsed. Any one character that cannot start a
// number separates parameters; a sign right after a number starts the next.
int GetArgs(const char* text, Arg* args, int maxArgs, uint32_t offset, ConversionLog* log);
// The usual call: into ps.pArgs, at most `maxArgs` (clamped to nArgsMax).
inline int GetArgs(const char* text, PlotterState& ps, int maxArgs) {
  if (maxArgs > ps.nArgsMax) maxArgs = ps.nArgsMax;
  return GetArgs(text, ps.pArgs, maxArgs, ps.offCommand, ps.log);
}

// "Error: Expecting %s parameters: '%s' at offset 0x%lx\n". The caller counts.
void LogParamError(const char* expected, const char* text, PlotterState& ps);

}  // namespace tsl
