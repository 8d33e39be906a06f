// Line types: the GDI pen style of each HP-GL type. Their dashes belong to
// the pen creation rule (interpreter/output_routines.h).
#pragma once
#include <cstdint>

namespace tsl {

// The GDI pen style of an HP-GL line type (sign ignored): 6 (solid, drawn as
// dots by the output routines) for type 0, -1 for a type with no style.
int LineTypeStyle(int64_t type);

}  // namespace tsl
