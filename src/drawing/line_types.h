// Line types: the GDI pen style of each HP-GL type, and the dashes of the
// geometric pens that draw the dashed ones.
#pragma once
#include <cstddef>
#include <cstdint>

#include "interpreter/plotter_state.h"

namespace tsl {

// The GDI pen style of an HP-GL line type (sign ignored): 6 (solid, drawn as
// dots by the output routines) for type 0, -1 for a type with no style.
int LineTypeStyle(int64_t type);

// Whether pens of the current line type are dashed.
bool DashedLineType(const PlotterState& ps);

// The dash and gap lengths of the current line type in logical units (at
// most 8): HP-GL/2's pattern of the type, stretched to the pattern length
// (per cent of the P1-P2 diagonal, or millimetres). Every length is at least
// one unit: a dot is a round pen end, not nothing.
size_t LineTypeDashes(const PlotterState& ps, uint32_t* dashes);

}  // namespace tsl
