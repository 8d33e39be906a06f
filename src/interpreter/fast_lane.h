// The fast lane for pen motion: most commands of a plot are PA, PD, PU and
// PR with a few integers. Read straight from the read-ahead, they skip the
// copy into the command buffer and the general parameter parsing; anything
// the lane is not sure of goes the general way.
#pragma once
#include <cstddef>
#include <cstdint>

#include "interpreter/handlers.h"
#include "interpreter/plotter_state.h"

namespace tsl {

struct PenMotionCommand {
  uint16_t mnemonic = 0;  // upper case
  int count = 0;          // parameters parsed into the argument array
  int32_t length = 0;     // the text's length as the lexer would collect it
  size_t consumed = 0;    // bytes of the read-ahead taken, terminator included
};

namespace lane_detail {
// A byte the lexer may start a mnemonic with: a letter of either case or ESC.
struct StartBytes {
  uint8_t starts[256] = {};
  constexpr StartBytes() {
    for (int c = 0; c < 256; ++c) starts[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ESC;
  }
};
inline constexpr StartBytes kStarts{};

inline bool StartsNumber(uint8_t c) { return static_cast<unsigned>(c - '0') <= 9 || c == '-' || c == '+'; }
// A letter other than E starts the next command; an E after a number may
// be its exponent, which the general path decides.
inline bool NextCommandLetter(uint8_t c) {
  const unsigned lower = c | 0x20u;
  return lower - 'a' < 26 && lower != 'e';
}

}  // namespace lane_detail

// Reads a PA, PD, PU or PR from `text` (`available` bytes) when it lies
// whole there: the mnemonic after any bytes that cannot start one, then
// none or an even count of integers of at most nine digits with an
// optional sign, separated by one comma or blank, then ";" or the next
// command's letter (not an E, which may be an exponent); a CR, LF or NUL
// within the command sends it the general way. The text must fit a command buffer
// of `bufferSize` bytes as the lexer's quick cut takes it, and the count
// must not exceed `maxArgs`. False, with `args` perhaps written, for
// anything else.
// Inline: the run's loop takes one command after another through it.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline bool ReadPenMotion(const char* text, size_t available, size_t bufferSize, Arg* args, int maxArgs,
                          PenMotionCommand* out) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  const uint8_t* const end = p + available;
  while (p < end && !lane_detail::kStarts.starts[*p]) ++p;
  // Only P and p give 'p' with the case bit set; likewise for the second
  // letters.
  if (end - p < 3 || (p[0] | 0x20) != 'p') return false;
  const unsigned lower = p[1] | 0x20u;
  if (lower != 'a' && lower != 'd' && lower != 'u' && lower != 'r') return false;
  const char second = static_cast<char>(lower - 'a' + 'A');
  const uint8_t* const first = p + 2;
  const uint8_t* q = first;
  uint8_t c = *q;
  int n = 0;
  if (lane_detail::StartsNumber(c)) {
    for (;;) {
      const bool negative = c == '-';
      if (c == '-' || c == '+') {
        if (++q == end) return false;
        c = *q;
      }
      unsigned digit = static_cast<unsigned>(c - '0');
      if (digit > 9) return false;
      const uint8_t* const digits = q;
      // Unsigned: a number too long for the lane wraps harmlessly before
      // its length sends it to the general path, which logs the overflow.
      uint32_t value = digit;
      for (;;) {
        if (++q == end) return false;
        c = *q;
        digit = static_cast<unsigned>(c - '0');
        if (digit > 9) break;
        value = value * 10 + digit;
      }
      if (q - digits > 9 || n >= maxArgs) return false;
      const int32_t l = static_cast<int32_t>(value);
      const double d = static_cast<double>(l);
      args[n].l = negative ? -l : l;
      args[n].d = negative ? -d : d;
      ++n;
      // One comma or blank before the next number; anything else (a
      // decimal point, CR or LF, a second blank) goes the general way.
      if (c != ',' && c != ' ') break;
      if (++q == end) return false;
      c = *q;
      if (!lane_detail::StartsNumber(c)) return false;
    }
  }
  // The lexer's quick cut takes a text of up to bufferSize - 3 bytes; a
  // longer one may need a larger buffer, which the general path grows.
  const size_t taken = static_cast<size_t>(q - first);
  if (bufferSize < 8 || taken > bufferSize - 5) return false;
  if (c == ';')
    out->consumed = static_cast<size_t>(q + 1 - reinterpret_cast<const uint8_t*>(text));
  else if (lane_detail::NextCommandLetter(c))
    out->consumed = static_cast<size_t>(q - reinterpret_cast<const uint8_t*>(text));
  else
    return false;
  if (n % 2) return false;  // the general path reports the odd count
  out->count = n;
  out->length = static_cast<int32_t>(2 + taken);
  out->mnemonic = Mnemonic('P', second);
  return true;
}

// Whether runs use the lane (on unless a test turns it off to compare).
bool FastLaneEnabled();
void SetFastLaneEnabled(bool on);

}  // namespace tsl
