#include "interpreter/lexer.h"

#include <cstring>

#include "interpreter/handlers.h"

namespace tsl {

namespace {
int Upper(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
bool IsLetter(int c) { return c >= 'A' && c <= 'Z'; }
bool IsNumeric(int c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }
// Byte classes for the fast collection of PE and of ordinary commands.
enum : uint8_t { kTake = 0, kStop = 1, kSkip = 2 };

struct ByteClasses {
  uint8_t pe[256];
  uint8_t plain[256];
  uint8_t starts[256];  // a letter of either case or ESC: may start a mnemonic
  uint8_t letter[256];  // 0 to 25 for a letter of either case, 26 for anything else
  ByteClasses() {
    for (int c = 0; c < 256; ++c) {
      pe[c] = plain[c] = kTake;
      starts[c] = IsLetter(Upper(c)) || c == ESC;
      letter[c] = static_cast<uint8_t>(IsLetter(Upper(c)) ? Upper(c) - 'A' : 26);
      if (IsLetter(Upper(c))) plain[c] = kStop;
    }
    const uint8_t esc = static_cast<uint8_t>(ESC);
    pe[';'] = pe[esc] = plain[';'] = plain[esc] = kStop;
    pe['\r'] = pe['\n'] = plain['\r'] = plain['\n'] = plain[0] = kSkip;
  }
};
const ByteClasses kClasses;

// The mnemonics whose text is collected by a rule of its own.
struct SpecialPairs {
  bool pair[26 * 26] = {};
  SpecialPairs() {
    for (const char* m : {"SM", "DT", "LB", "PE", "MG", "CO"}) pair[(m[0] - 'A') * 26 + (m[1] - 'A')] = true;
  }
};
const SpecialPairs kSpecial;

}  // namespace

bool Lexer::QuickPlain(uint16_t* mnemonic) {
  size_t avail;
  const char* text = in_.Peek(&avail);
  if (!text) return false;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  size_t i = 0;
  while (i < avail && !kClasses.starts[p[i]]) ++i;
  if (i + 1 >= avail) return false;
  const unsigned a = kClasses.letter[p[i]], b = kClasses.letter[p[i + 1]];
  if (a == 26 || b == 26 || kSpecial.pair[a * 26 + b]) return false;
  size_t n = 2;
  const size_t room = size_ - 2;  // the text may grow to two bytes short of the buffer
  // Scan no further than the text can grow: a skipped byte takes no room,
  // so it moves that limit on by one. At the limit the full rule decides.
  size_t stop = i + 2 + (room - n);
  if (stop > avail) stop = avail;
  for (size_t k = i + 2; k < stop; ++k) {
    const uint8_t c = p[k];
    const uint8_t cls = kClasses.plain[c];
    if (cls == kTake) {
      buf_[n++] = static_cast<char>(c);
      continue;
    }
    if (cls == kSkip) {
      if (stop < avail) ++stop;
      continue;
    }
    // An E after a number may be its exponent: the full rule decides.
    if (c == 'E' || c == 'e') return false;
    buf_[0] = static_cast<char>('A' + a);
    buf_[1] = static_cast<char>('A' + b);
    buf_[n] = '\0';
    len_ = n;
    *mnemonic = Mnemonic(buf_[0], buf_[1]);
    // ";" ends the command; a letter or ESC is given back to start the next.
    in_.Advance(c == ';' ? k + 1 : k);
    return true;
  }
  return false;
}

int Lexer::CollectRun(const uint8_t* classes) {
  for (;;) {
    size_t avail;
    const char* p = in_.Peek(&avail);
    if (!p) return -1;
    // The text may grow to two bytes short of the buffer's size: copy while
    // scanning, up to that limit, since most runs are a few bytes.
    const size_t room = size_ - 2 - len_;  // Next keeps size_ >= 4 and len_ <= size_ - 2
    const size_t limit = avail < room ? avail : room;
    char* out = buf_ + len_;
    size_t i = 0;
    while (i < limit && classes[static_cast<uint8_t>(p[i])] == kTake) {
      out[i] = p[i];
      ++i;
    }
    if (i == limit && limit < avail && classes[static_cast<uint8_t>(p[i])] == kTake) return -2;
    len_ += i;
    in_.Advance(i);
    if (i == avail) continue;
    uint8_t c = static_cast<uint8_t>(p[i]);
    in_.Advance(1);
    if (classes[c] == kStop) return c;
  }
}

LexResult Lexer::NextByRule(uint16_t* mnemonic, char terminator, bool showTerminator) {
  if (size_ < 4) return LexResult::TooLong;

  int first, second;
  for (;;) {
    do {
      first = in_.Get();
      if (first < 0) return LexResult::End;
      first = Upper(first);
    } while (!IsLetter(first) && first != ESC);

    do {
      second = in_.Get();
      if (second < 0) return LexResult::End;
      second = Upper(second);
    } while (second == '\r' || second == '\n');

    if (IsLetter(second)) break;
    if (first == ESC && (second == '&' || second == '%' || second == '*')) break;
    in_.Unget();
  }

  plain_ = false;
  buf_[len_++] = static_cast<char>(first);
  buf_[len_++] = static_cast<char>(second);
  *mnemonic = Mnemonic(static_cast<char>(first), static_cast<char>(second));
  LexResult r = CollectRest(*mnemonic, terminator, showTerminator);
  buf_[len_] = '\0';
  return r;
}

bool Lexer::CollectNumericField() {
  for (;;) {
    int c = in_.Get();
    if (c < 0) return true;
    if (!IsNumeric(c)) {
      in_.Unget();
      return true;
    }
    if (!Put(static_cast<char>(c))) return false;
  }
}

LexResult Lexer::CollectRest(uint16_t m, char terminator, bool showTerminator) {
  const LexResult full = LexResult::TooLong;
  int c;
  if (m == Mnemonic('S', 'M') || m == Mnemonic('D', 'T')) {
    c = in_.Get();
    if (c >= 0 && c != ';' && !Put(static_cast<char>(c))) return full;
    return LexResult::Command;
  }
  if (m == Mnemonic('L', 'B')) {
    while ((c = in_.Get()) >= 0) {
      if (c == static_cast<unsigned char>(terminator)) {
        if (showTerminator && !Put(terminator == ETX ? ' ' : terminator)) return full;
        break;
      }
      if (!Put(static_cast<char>(c))) return full;
    }
    return LexResult::Command;
  }
  if (m == Mnemonic('P', 'E')) {
    c = CollectRun(kClasses.pe);
    if (c == -2) return full;
    if (c == ESC) in_.Unget();
    return LexResult::Command;
  }
  if (m == Mnemonic('M', 'G')) {
    while ((c = in_.Get()) >= 0 && c != ';')
      if (!Put(static_cast<char>(c))) return full;
    return LexResult::Command;
  }
  if (m == Mnemonic('C', 'O')) {
    c = in_.Get();
    if (c == '"') {
      if (size_ <= 4) return full;
      if (!Put('"')) return full;
      while ((c = in_.Get()) >= 0) {
        if (!Put(static_cast<char>(c))) return full;
        if (c == '"') break;
      }
    } else if (c >= 0 && c != ';') {
      in_.Unget();
    }
    return LexResult::Command;
  }
  if (static_cast<char>(m & 0xFF) == ESC) {
    char kind = SecondChar(m);
    if (kind == 'E') return LexResult::Command;
    if (kind != '%') {
      c = in_.Get();
      if (c < 0) return LexResult::Command;
      if (!Put(static_cast<char>(c))) return full;
    }
    if (!CollectNumericField()) return full;
    c = in_.Get();
    if (c >= 0 && !Put(static_cast<char>(c))) return full;
    return LexResult::Command;
  }
  plain_ = true;
  for (;;) {
    c = CollectRun(kClasses.plain);
    if (c == -2) return full;
    if (c == 'E' || c == 'e') {
      Exponent e = TakeExponent(static_cast<char>(c));
      if (e == Exponent::Full) return full;
      if (e == Exponent::Taken) continue;
      if (e == Exponent::GivenBack) return LexResult::Command;
    }
    if (c >= 0 && c != ';') in_.Unget();  // a letter or ESC starts the next command
    return LexResult::Command;
  }
}

Lexer::Exponent Lexer::TakeExponent(char e) {
  // Only right after a digit or a decimal point, and only before a digit
  // (with an optional sign): no mnemonic has a digit or a sign as its
  // second character, so such an E never starts a command.
  if (len_ <= 2) return Exponent::None;
  char last = buf_[len_ - 1];
  if (!((last >= '0' && last <= '9') || last == '.')) return Exponent::None;
  const uint64_t after = in_.Tell();
  int sign = in_.Get();
  int digit = sign == '+' || sign == '-' ? in_.Get() : sign;
  if (digit < '0' || digit > '9') {
    in_.Seek(after - 1);  // the E starts the next command
    return Exponent::GivenBack;
  }
  if (!Put(e)) return Exponent::Full;
  if (sign != digit && !Put(static_cast<char>(sign))) return Exponent::Full;
  if (!Put(static_cast<char>(digit))) return Exponent::Full;
  return Exponent::Taken;
}

}  // namespace tsl
