#include "interpreter/args.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/memory.h"
#include "interpreter/conversion_log.h"
#include "interpreter/numeric.h"

namespace tsl {

namespace {
// Blank, tab, and LF, VT, FF, CR (9 to 13).
bool IsBlank(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number at p: blanks, an optional sign, digits with an
// optional decimal point, and an exponent when an E follows the digits with
// an optional sign and a digit (PostScript converters write 4.48966e-09).
// Returns the end, or p when nothing was read.
const char* ScanNumber(const char* p, bool* exponent) {
  const char* q = p;
  *exponent = false;
  while (IsBlank(*q)) ++q;
  if (*q == '+' || *q == '-') ++q;
  bool digits = false;
  while (IsDigit(*q)) ++q, digits = true;
  if (*q == '.') {
    ++q;
    while (IsDigit(*q)) ++q, digits = true;
  }
  if (!digits) return p;
  if (*q == 'e' || *q == 'E') {
    const char* e = q + 1;
    if (*e == '+' || *e == '-') ++e;
    if (IsDigit(*e)) {
      while (IsDigit(*e)) ++e;
      *exponent = true;
      q = e;
    }
  }
  return q;
}

// The text read as a base-10 integer: stops at the decimal point, saturates
// at the 32-bit limits.
int32_t ToInteger(const char* p, const char* end, bool* overflow) {
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int64_t v = 0;
  *overflow = false;
  for (; p < end && IsDigit(*p); ++p) {
    v = v * 10 + (*p - '0');
    if (v > static_cast<int64_t>(INT32_MAX) + 1) {
      *overflow = true;
      v = static_cast<int64_t>(INT32_MAX) + 1;
    }
  }
  if (negative) v = -v;
  if (v > INT32_MAX) *overflow = true, v = INT32_MAX;
  if (v < INT32_MIN) *overflow = true, v = INT32_MIN;
  return static_cast<int32_t>(v);
}

// The integer form of a number written with an exponent: its value
// truncated toward zero, saturating at the 32-bit limits.
int32_t ExponentInteger(double d, bool* overflow) {
  *overflow = !(d < 2147483648.0 && d > -2147483649.0);
  return Trunc32(d);
}

// The value of a short decimal (at most 15 digits) without strtod: the
// digits as an exact integer divided by an exact power of ten, which is the
// correctly rounded result strtod gives too. False for anything longer.
bool FastDecimal(const char* p, const char* end, double* out) {
  static const double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                  1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; p < end; ++p) {
    if (*p == '.') {
      point = true;
      continue;
    }
    if (++digits > 15) return false;
    mantissa = mantissa * 10 + (*p - '0');
    if (point) ++decimals;
  }
  double v = static_cast<double>(mantissa) / kPow10[decimals];
  *out = negative ? -v : v;
  return true;
}

void LogRange(ConversionLog* log, const char* what, const char* rest, uint32_t offset) {
  if (log)
    log->Warning("Warning: %s range error--Overflow or Under-flow: '%s' at offset 0x%lx\n", what, rest,
              static_cast<unsigned long>(offset));
}

enum class Scan { None, Done, General };

// The common number in one pass: at most 15 digits, an integer part of at
// most 9, no exponent. Gives the same two forms as FastDecimal and
// ToInteger; anything else is left to the general path below.
Scan QuickNumber(const char* p, const char** end, Arg* arg) {
  static const double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                  1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
  const char* q = p;
  while (IsBlank(*q)) ++q;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = *q++ == '-';
  // Unsigned, so that the digits of a number too long for this path wrap
  // harmlessly before the count sends it to the general one.
  uint64_t mantissa = 0;
  const char* start = q;
  while (IsDigit(*q)) mantissa = mantissa * 10 + static_cast<uint64_t>(*q++ - '0');
  const uint64_t whole = mantissa;
  const long wholeDigits = q - start;
  long decimals = 0;
  if (*q == '.') {
    const char* f = ++q;
    while (IsDigit(*q)) mantissa = mantissa * 10 + static_cast<uint64_t>(*q++ - '0');
    decimals = q - f;
  }
  if (wholeDigits + decimals == 0) return Scan::None;
  if (wholeDigits > 9 || wholeDigits + decimals > 15 || *q == 'e' || *q == 'E') return Scan::General;
  // Dividing by 1 changes nothing, and most parameters are whole numbers.
  const double m = static_cast<double>(static_cast<int64_t>(mantissa));
  const double v = decimals ? m / kPow10[decimals] : m;
  arg->d = negative ? -v : v;
  const int32_t l = static_cast<int32_t>(whole);  // at most 9 digits
  arg->l = negative ? -l : l;
  *end = q;
  return Scan::Done;
}

// A number the one-pass reading leaves: exponents, long digit strings,
// range errors. Kept out of line so that the common path stays lean.
[[gnu::noinline]] const char* GeneralNumber(const char* p, Arg* arg, uint32_t offset, ConversionLog* log) {
  bool exponent;
  const char* end = ScanNumber(p, &exponent);
  double d;
  if (exponent || !FastDecimal(p, end, &d)) {
    std::string number(p, end);
    errno = 0;
    d = std::strtod(number.c_str(), nullptr);
    if (errno == ERANGE) LogRange(log, "Floating-Point", p, offset);
  }
  bool overflow = false;
  // With an exponent the digits alone are not the integer.
  int32_t l = exponent ? ExponentInteger(d, &overflow) : ToInteger(p, end, &overflow);
  if (overflow) LogRange(log, "Long-Integer", p, offset);
  arg->d = d;
  arg->l = l;
  return end;
}

// A sign with digits after it (or a point and a digit).
bool SignedNumberAt(const char* p) {
  if (*p != '-' && *p != '+') return false;
  return IsDigit(p[1]) || (p[1] == '.' && IsDigit(p[2]));
}

[[gnu::noinline]] void LogTooMany(const char* text, int maxArgs, uint32_t offset, ConversionLog* log) {
  if (log)
    log->Warning("Warning: Expecting at most %d parameters: '%s' at offset 0x%lx\n", maxArgs, text,
              static_cast<unsigned long>(offset));
}
}  // namespace

int GetArgs(const char* text, Arg* args, int maxArgs, uint32_t offset, ConversionLog* log) {
  if (!text || !text[0] || !text[1]) return 0;
  const char* p = text + 2;
  int n = 0;
  while (*p) {
    if (n >= maxArgs) {
      LogTooMany(text, maxArgs, offset, log);
      break;
    }
    const char* end = p;
    const Scan quick = QuickNumber(p, &end, &args[n]);
    if (quick == Scan::Done) {
      ++n;
      p = end;
    } else if (quick == Scan::General) {
      p = GeneralNumber(p, &args[n], offset, log);
      ++n;
    }
    if (!*p) break;
    // A sign right after a number begins the next one, as plotters read
    // it: "PA10-20" is 10, -20, not 10, 20.
    if (quick != Scan::None && SignedNumberAt(p)) continue;
    ++p;
  }
  return n;
}

void LogParamError(const char* expected, const char* text, PlotterState& ps) {
  // Room for both texts, the fixed words and a full 32-bit offset.
  size_t size = std::strlen(expected) + std::strlen(text) + 64;
  std::vector<char> line;
  if (!TryResize(line, size)) {
    ps.log->Error("Error: Incorrect number of parameters\n");
    ps.log->LogString("Error: Memory allocation failed\n");
    return;
  }
  std::snprintf(line.data(), size, "Error: Expecting %s parameters: '%s' at offset 0x%lx\n", expected, text,
                static_cast<unsigned long>(ps.offCommand));
  ps.log->Error("%s", line.data());
}

}  // namespace tsl
