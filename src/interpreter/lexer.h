// Cuts the plot file into commands.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "interpreter/input_file.h"

namespace tsl {

enum class LexResult {
  Command,  // a command is in the buffer
  End,      // end of the file
  TooLong,  // the command does not fit: read it again with a larger buffer
};

class Lexer {
 public:
  explicit Lexer(InputFile& in) : in_(in) {}

  // Reads the next command into `buf` (`size` bytes): the two mnemonic
  // characters, then the rest as collected for that mnemonic, NUL-terminated.
  // The label terminator and its visibility come from the run's state.
  LexResult Next(char* buf, size_t size, uint16_t* mnemonic, char terminator, bool showTerminator) {
    buf_ = buf;
    size_ = size;
    len_ = 0;
    // Most commands are ordinary ones that lie whole in the read-ahead: they
    // are cut in place, inline. Anything else takes the byte-by-byte rule.
    if (size_ >= 4 && QuickPlain(mnemonic)) {
      plain_ = true;
      return LexResult::Command;
    }
    return NextByRule(mnemonic, terminator, showTerminator);
  }
  // The length of the text of the last command read, up to its first NUL:
  // labels, comments, PE and escapes may hold NULs, other commands never do.
  size_t Length() const { return plain_ ? len_ : std::strlen(buf_); }

 private:
  // Appends c unless the text would reach the buffer's last byte.
  bool Put(char c) {
    if (len_ + 1 >= size_ - 1) return false;
    buf_[len_++] = c;
    return true;
  }
  bool CollectNumericField();
  // After a number, an E with a digit (and an optional sign) is the
  // number's exponent. None leaves the E for the caller to give back;
  // GivenBack has given it back already.
  enum class Exponent { None, Taken, GivenBack, Full };
  Exponent TakeExponent(char e);
  // Copies bytes up to the first one classed as a stop, dropping those
  // classed as skipped; returns the stopping byte (consumed), -1 at the end
  // of the file, or -2 when the text would not fit.
  int CollectRun(const uint8_t* classes);
  LexResult CollectRest(uint16_t mnemonic, char terminator, bool showTerminator);
  // An ordinary command (not SM, DT, LB, PE, MG, CO or an escape) that lies
  // whole in the read-ahead, with no E after it, cut in one pass. False,
  // having consumed nothing, for anything else.
  bool QuickPlain(uint16_t* mnemonic);
  LexResult NextByRule(uint16_t* mnemonic, char terminator, bool showTerminator);

  InputFile& in_;
  char* buf_ = nullptr;
  size_t size_ = 0;
  size_t len_ = 0;
  bool plain_ = false;  // the last command was collected by the plain rule
};

}  // namespace tsl
