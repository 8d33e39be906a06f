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

// The type of record Wine 8 writes where we write one of `type`: it
// records the pens of ExtCreatePen as EMR_CREATEPEN, with the EXTLOGPEN's
// style, width and colour but not its dashes (Windows writes
// EMR_EXTCREATEPEN, as we do).
uint32_t WineType(uint32_t type);
// Our types as Wine writes them.
std::vector<uint32_t> WineTypes(const std::vector<RawRecord>& records);

// Empty when `ours` and `gdis` (of the same type) agree by these rules,
// else what differs. Text records are compared in their layout-free parts
// only: GDI lays text out with the fonts of the machine. An extended pen
// is held to Wine's EMR_CREATEPEN by the fields that record keeps; ours
// must also carry dashes.
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
