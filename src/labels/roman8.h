// HP Roman-8, the symbol set plotters and their drivers select with
// SD1,277 (GNU plotutils does, and writes its minus sign as Roman-8's dash,
// 0xF6). Label bytes in it are drawn as the Windows character they stand
// for, not as the unrelated Windows character with the same code.
#pragma once

namespace tsl {

// The SD kind-1 value of Roman-8.
constexpr int kRoman8SymbolSet = 277;

// The Windows-1252 code of a Roman-8 byte (the nearest one for the three
// characters that code page lacks); codes below 0xA0 are the same in both.
unsigned char Roman8ToAnsi(unsigned char c);
// The ASCII character the stroke font draws for a Roman-8 byte: a letter
// without its accent, '-' for the dash; the byte itself when there is none.
unsigned char Roman8ToStroke(unsigned char c);

}  // namespace tsl
