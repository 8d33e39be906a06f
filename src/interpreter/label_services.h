// What the interpreter and the drawing handlers ask of the label handlers:
// symbol mode plots a label character at every point, and a change of the
// coordinate system makes a new label font. Declared here, beside the
// command table, and defined in labels/, so that the handler sets stay
// siblings that never include each other.
#pragma once
#include <cstddef>
#include <cstdint>

#include "interpreter/plotter_state.h"

namespace tsl {

// Draws `n` label bytes at the pen position with the current label state:
// each line placed by the label origin, CR/LF/BS obeyed, each other byte
// drawn as one TextOutA or, with DrawChars, as strokes of the built-in font.
// Leaves the pen one advance after the last character and the
// carriage-return point in xLabelStart/yLabelStart. A symbol (SM) is centred
// on the pen instead.
void PlotChars(PlotterState& ps, const char* text, size_t n, bool symbol = false);

// Rebuilds the label font from the label state into the settings copy's
// font template, creates it and (unless measure-only) selects it, deleting
// the font it replaces. `absolute` tells whether the character size is
// absolute (SI) rather than relative to P1-P2 (SR); `count` is the number of
// size parameters in `args` (0 or 2): with 0 the size returns to the default
// of that mode. The size fields and the label angle are updated in
// measure-only runs too, so that labels measure as they draw.
void NewFont(PlotterState& ps, bool absolute, int count = 0, const Arg* args = nullptr);

// lfHeight of the label font: the character height (cyChar) is the height
// of the capitals, so the em is larger by the face's proportion.
int32_t LabelFontHeight(const PlotterState& ps);

}  // namespace tsl
