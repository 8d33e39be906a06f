// The command handler contract: the 16-bit mnemonic (first character in the
// low byte), the command text as the lexer collected it (NUL-terminated,
// starting with the two mnemonic characters), and the run's state. Handlers
// report only through the log and the counters.
#pragma once
#include <cstdint>

#include "interpreter/plotter_state.h"

namespace tsl {

using Handler = void (*)(uint16_t mnemonic, const char* text, PlotterState& ps);

constexpr uint16_t Mnemonic(char a, char b) {
  return static_cast<uint16_t>(static_cast<uint8_t>(a) | (static_cast<uint8_t>(b) << 8));
}
constexpr char SecondChar(uint16_t mnemonic) { return static_cast<char>(mnemonic >> 8); }

constexpr char ESC = 27;

struct CommandEntry {
  char mnemonic[4];
  Handler handler;
  uint16_t Value() const { return Mnemonic(mnemonic[0], mnemonic[1]); }
};

// The 90 rows; first match wins.
const CommandEntry* CommandTable(size_t* count);
// The table's row for the mnemonic, DoUNK when none.
Handler ScanTable(uint16_t mnemonic);
// The handler of every two-letter mnemonic, looked up once: every command
// of a plot is looked up, so the lookup is inline.
struct LetterPairs {
  Handler handler[26 * 26];
  LetterPairs();
};
extern const LetterPairs kLetterPairs;
inline Handler FindHandler(uint16_t mnemonic) {
  const unsigned a = (mnemonic & 0xFFu) - 'A', b = (mnemonic >> 8) - 'A';
  if (a < 26 && b < 26) return kLetterPairs.handler[a * 26 + b];
  return ScanTable(mnemonic);
}

// Catch-alls.
void DoNOP(uint16_t, const char*, PlotterState&);
void DoUNK(uint16_t, const char*, PlotterState&);
void PlaceHolder(uint16_t, const char*, PlotterState&);
// "'<long name>' command(s) not implemented: '<text>' at offset 0x.." unless
// NoNOPWarnings; the caller counts.
void LogNotImplemented(const char* longName, const char* text, PlotterState& ps);

// Coordinate system.
void DoIN(uint16_t, const char*, PlotterState&);
void DoBP(uint16_t, const char*, PlotterState&);
void DoIP(uint16_t, const char*, PlotterState&);
void DoSC(uint16_t, const char*, PlotterState&);
void DoIW(uint16_t, const char*, PlotterState&);
void DoRO(uint16_t, const char*, PlotterState&);
void DoPS(uint16_t, const char*, PlotterState&);
// Log and device control.
void DoCO(uint16_t, const char*, PlotterState&);
void DoMG(uint16_t, const char*, PlotterState&);
void DoEsc(uint16_t, const char*, PlotterState&);
void DoPG(uint16_t, const char*, PlotterState&);
void DoMC(uint16_t, const char*, PlotterState&);
void DoVS(uint16_t, const char*, PlotterState&);
// Pen motion.
void DoPA(uint16_t, const char*, PlotterState&);
// PA, PD, PU or PR with `n` (even) parameters already in ps.pArgs.
void DoPenMotion(uint16_t mnemonic, int n, PlotterState& ps);
// What PA, PD, PU or PR set before they move: the pen down or up, relative
// or absolute plotting. Inline: half the commands of many plots are a bare
// PU or PD, which do nothing else.
inline void SetPenMode(uint16_t mnemonic, PlotterState& ps) {
  switch (SecondChar(mnemonic)) {
    case 'D': ps.fPenDown = 1; break;
    case 'U': ps.fPenDown = 0; break;
    case 'R': ps.bMode |= RELATIVE; break;
    default: ps.bMode &= ~RELATIVE; break;
  }
}
// Pens, colours, widths, line types, Polyline Encoded.
void DoSP(uint16_t, const char*, PlotterState&);
void DoNP(uint16_t, const char*, PlotterState&);
void DoPC(uint16_t, const char*, PlotterState&);
void DoCR(uint16_t, const char*, PlotterState&);
void DoPW(uint16_t, const char*, PlotterState&);
void DoWU(uint16_t, const char*, PlotterState&);
void DoPT(uint16_t, const char*, PlotterState&);
void DoLT(uint16_t, const char*, PlotterState&);
void DoPE(uint16_t, const char*, PlotterState&);
// Arcs, circles, curves, polygons, fills.
void DoAA(uint16_t, const char*, PlotterState&);
void DoCI(uint16_t, const char*, PlotterState&);
void DoBZ(uint16_t, const char*, PlotterState&);
void DoEA(uint16_t, const char*, PlotterState&);
void DoEW(uint16_t, const char*, PlotterState&);
void DoPM(uint16_t, const char*, PlotterState&);
void DoEP(uint16_t, const char*, PlotterState&);
void DoFP(uint16_t, const char*, PlotterState&);
void DoFT(uint16_t, const char*, PlotterState&);
void DoAC(uint16_t, const char*, PlotterState&);
// Symbols and ticks.
void DoSM(uint16_t, const char*, PlotterState&);
void DoTL(uint16_t, const char*, PlotterState&);
void DoXT(uint16_t, const char*, PlotterState&);
// Labels.
void DoDI(uint16_t, const char*, PlotterState&);
void DoDT(uint16_t, const char*, PlotterState&);
void DoLB(uint16_t, const char*, PlotterState&);
void DoLO(uint16_t, const char*, PlotterState&);
void DoDV(uint16_t, const char*, PlotterState&);
void DoCP(uint16_t, const char*, PlotterState&);
void DoES(uint16_t, const char*, PlotterState&);
void DoSI(uint16_t, const char*, PlotterState&);
void DoCS(uint16_t, const char*, PlotterState&);
void DoSS(uint16_t, const char*, PlotterState&);
void DoSL(uint16_t, const char*, PlotterState&);
void DoUC(uint16_t, const char*, PlotterState&);
void DoSD(uint16_t, const char*, PlotterState&);

}  // namespace tsl
