// Loading and playing metafile bytes through Windows GDI, for the tests that
// hold a metafile (GDI's or ours) against what GDI makes of it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "windows/dib.h"

namespace tsl::test {

// Checks, as gtest failures, that GDI takes `emf`: SetEnhMetaFileBits loads
// it, GetEnhMetaFileHeader agrees with the bytes (size, record count,
// signature), EnumEnhMetaFile visits the same records in the same order,
// and the description reads back as `description` (8-bit, with its NULs).
void ExpectGdiTakes(const std::vector<uint8_t>& emf, const std::string& description);

// Plays `emf` into `dib`, stretched over the whole bitmap. False when GDI
// refuses the bytes or the playback.
bool PlayInto(const std::vector<uint8_t>& emf, Dib& dib);

}  // namespace tsl::test
