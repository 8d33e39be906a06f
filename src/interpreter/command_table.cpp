#include <iterator>

#include "interpreter/handlers.h"

namespace tsl {

namespace {
#define ROW(a, b, h) {{a, b, 0, 0}, h}
const CommandEntry kTable[] = {
    ROW('P', 'A', DoPA), ROW('P', 'D', DoPA), ROW('P', 'R', DoPA), ROW('P', 'U', DoPA),
    ROW('S', 'P', DoSP),
    ROW('I', 'N', DoIN), ROW('D', 'F', DoIN),
    ROW('B', 'P', DoBP),
    ROW('I', 'P', DoIP), ROW('I', 'R', DoIP),
    ROW('S', 'C', DoSC),
    ROW('I', 'W', DoIW),
    ROW('R', 'O', DoRO),
    ROW('A', 'A', DoAA), ROW('A', 'R', DoAA),
    ROW('C', 'I', DoCI),
    ROW('E', 'A', DoEA), ROW('E', 'R', DoEA), ROW('R', 'A', DoEA), ROW('R', 'R', DoEA),
    ROW('E', 'W', DoEW), ROW('W', 'G', DoEW),
    ROW('P', 'E', DoPE),
    ROW('P', 'M', DoPM),
    ROW('E', 'P', DoEP),
    ROW('F', 'P', DoFP),
    ROW('B', 'Z', DoBZ), ROW('B', 'R', DoBZ),
    ROW('F', 'T', DoFT),
    ROW('L', 'T', DoLT),
    ROW('S', 'M', DoSM),
    ROW('P', 'S', DoPS),
    ROW('P', 'T', DoPT),
    ROW('P', 'W', DoPW),
    ROW('W', 'U', DoWU),
    ROW('T', 'L', DoTL),
    ROW('X', 'T', DoXT), ROW('Y', 'T', DoXT),
    ROW('D', 'I', DoDI), ROW('D', 'R', DoDI),
    ROW('D', 'T', DoDT),
    ROW('L', 'B', DoLB),
    ROW('L', 'O', DoLO),
    ROW('D', 'V', DoDV),
    ROW('C', 'P', DoCP),
    ROW('E', 'S', DoES),
    ROW('S', 'I', DoSI), ROW('S', 'R', DoSI),
    ROW('A', 'C', DoAC),
    ROW('P', 'C', DoPC),
    ROW('C', 'R', DoCR),
    ROW('M', 'G', DoMG),
    ROW('C', 'O', DoCO),
    ROW('M', 'C', DoMC),
    ROW('N', 'P', DoNP),
    ROW('V', 'S', DoVS),
    ROW('P', 'G', DoPG),
    ROW('C', 'S', DoCS), ROW('C', 'A', DoCS),
    ROW('S', 'S', DoSS), ROW('S', 'A', DoSS),
    ROW('S', 'L', DoSL),
    ROW('U', 'C', DoUC),
    ROW('N', 'R', DoNOP),
    ROW('E', 'C', DoNOP),
    ROW('S', 'D', DoSD),
    ROW(ESC, '%', DoEsc), ROW(ESC, '&', DoEsc), ROW(ESC, '*', DoEsc), ROW(ESC, 'E', DoEsc),
    ROW('A', 'T', PlaceHolder), ROW('R', 'T', PlaceHolder), ROW('L', 'A', PlaceHolder),
    ROW('R', 'F', PlaceHolder), ROW('S', 'V', PlaceHolder), ROW('T', 'R', PlaceHolder),
    ROW('U', 'L', PlaceHolder), ROW('A', 'D', PlaceHolder), ROW('C', 'F', PlaceHolder),
    ROW('C', 'T', PlaceHolder), ROW('P', 'P', PlaceHolder), ROW('M', 'T', PlaceHolder),
    ROW('N', 'R', PlaceHolder), ROW('O', 'D', PlaceHolder), ROW('O', 'E', PlaceHolder),
    ROW('O', 'H', PlaceHolder), ROW('O', 'I', PlaceHolder), ROW('O', 'P', PlaceHolder),
    ROW('O', 'S', PlaceHolder), ROW('Q', 'L', PlaceHolder),
};
#undef ROW
static_assert(std::size(kTable) == 90, "the command table has 90 rows");
}  // namespace

const CommandEntry* CommandTable(size_t* count) {
  *count = std::size(kTable);
  return kTable;
}

Handler ScanTable(uint16_t mnemonic) {
  for (const CommandEntry& row : kTable)
    if (row.Value() == mnemonic) return row.handler;
  return DoUNK;
}

LetterPairs::LetterPairs() {
  for (int a = 0; a < 26; ++a)
    for (int b = 0; b < 26; ++b)
      handler[a * 26 + b] = ScanTable(Mnemonic(static_cast<char>('A' + a), static_cast<char>('A' + b)));
}

const LetterPairs kLetterPairs;

}  // namespace tsl
