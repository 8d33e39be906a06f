#include "interpreter/lexer.h"

#include <cstring>

#include "interpreter/handlers.h"

namespace tsl {

namespace {
int Upper(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
bool IsLetter(int c) { return c >= 'A' && c <= 'Z'; }
bool IsNumeric(int c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }
}  // namespace

LexResult Lexer::Next(char* buf, size_t size, uint16_t* mnemonic, char terminator,
                      bool showTerminator) {
  buf_ = buf;
  size_ = size;
  len_ = 0;
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
    while ((c = in_.Get()) >= 0) {
      if (c == ';') break;
      if (c == ESC) {
        in_.Unget();
        break;
      }
      if (c == '\r' || c == '\n') continue;
      if (!Put(static_cast<char>(c))) return full;
    }
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
  while ((c = in_.Get()) >= 0) {
    if (c == ';') break;
    if (c == '\r' || c == '\n' || c == 0) continue;
    if (IsLetter(Upper(c)) || c == ESC) {
      in_.Unget();
      break;
    }
    if (!Put(static_cast<char>(c))) return full;
  }
  return LexResult::Command;
}

}  // namespace tsl
