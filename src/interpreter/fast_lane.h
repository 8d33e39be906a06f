// The fast lane for pen motion: most commands of a plot are PA, PD, PU and
// PR with a few integers. Read straight from the read-ahead, they skip the
// copy into the command buffer and the general parameter parsing; anything
// the lane is not sure of goes the general way.
#pragma once
#include <cstddef>
#include <cstdint>

#include "interpreter/plotter_state.h"

namespace tsl {

struct PenMotionCommand {
  uint16_t mnemonic = 0;  // upper case
  int count = 0;          // parameters parsed into the argument array
  int32_t length = 0;     // the text's length as the lexer would collect it
  size_t consumed = 0;    // bytes of the read-ahead taken, terminator included
};

// Reads a PA, PD, PU or PR from `text` (`available` bytes) when it lies
// whole there: the mnemonic after any bytes that cannot start one, then
// none or an even count of integers of at most nine digits with an
// optional sign, separated by one comma or blank, then ";" or the next
// command's letter (not an E, which may be an exponent); a CR, LF or NUL
// within the command sends it the general way. The text must fit a command buffer
// of `bufferSize` bytes as the lexer's quick cut takes it, and the count
// must not exceed `maxArgs`. False, with `args` perhaps written, for
// anything else.
bool ReadPenMotion(const char* text, size_t available, size_t bufferSize, Arg* args, int maxArgs,
                   PenMotionCommand* out);

// Whether runs use the lane (on unless a test turns it off to compare).
bool FastLaneEnabled();
void SetFastLaneEnabled(bool on);

}  // namespace tsl
