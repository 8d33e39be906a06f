// The rules by which our records are held against GDI's: byte for byte,
// except where GDI's output depends on the machine or Wine makes choices of
// its own. Shared by the hand-made scenes and the whole conversions.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "windows/emf_walk.h"

namespace tsl::test {

// The record's fields as hexadecimal words, for failure messages.
std::string Hex(const RawRecord& r);

// Records that start with the bounds of what they draw. Wine 8 writes these
// bounds in logical units where the published format (and our writer) use
// device units, so they are left out of the comparison.
bool HasDrawingBounds(uint32_t type);

// Empty when `ours` and `gdis` (of the same type) agree by these rules,
// else what differs. Text records are compared in their layout-free parts
// only: GDI lays text out with the fonts of the machine.
std::string RecordDifference(const RawRecord& ours, const RawRecord& gdis);

// Removes our EMR_SETBRUSHORGEX records, which Wine 8 does not write
// (Windows does); adds their bytes and count to *bytes and *records.
void DropBrushOrigins(std::vector<RawRecord>* records, uint32_t* bytes, uint32_t* count);

// Header fields that do not depend on how the bytes were produced. The
// bounds and frame are compared loosely, within `boundsSlack` device pixels
// (the frame within as much in 0.01 mm): we widen them by half the pen
// width, as Windows does, where Wine 8 does not. A negative slack leaves
// them out. Our nBytes and nRecords are taken less `ourExtraBytes` and
// `ourExtraRecords`.
void ExpectSameHeader(const RawRecord& ours, const RawRecord& gdis, int32_t boundsSlack,
                      uint32_t ourExtraBytes, uint32_t ourExtraRecords);

}  // namespace tsl::test
