// The Windows label font.
#pragma once
#include "interpreter/plotter_state.h"

namespace tsl {

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

// Creates a font from the settings copy's template and, unless measure-only,
// selects it and deletes the label font it replaces.
void SelectLabelFont(PlotterState& ps);

}  // namespace tsl
