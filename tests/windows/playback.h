// Loading and playing metafile bytes through Windows GDI, for the tests that
// hold a metafile (GDI's or ours) against what GDI makes of it. Free of
// <windows.h>, so that tests can use gdi's names beside it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tsl::test {

// Checks, as gtest failures, that GDI takes `emf`: SetEnhMetaFileBits loads
// it, GetEnhMetaFileHeader agrees with the bytes (size, record count,
// signature), EnumEnhMetaFile visits the same records in the same order,
// and the description reads back as `description` (8-bit, with its NULs).
void ExpectGdiTakes(const std::vector<uint8_t>& emf, const std::string& description);
// The same without looking at the description.
void ExpectGdiTakes(const std::vector<uint8_t>& emf);

// The pixels of a bitmap that a metafile was played into, as COLORREFs.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> colors;  // row by row from the top

  uint32_t At(int x, int y) const;  // white outside
  int Count(uint32_t color) const;
};

// Plays `emf` on white, stretched over a `width` x `height` bitmap. False
// when GDI refuses the bytes or the playback.
bool PlayInto(const std::vector<uint8_t>& emf, int width, int height, Pixels* out);

}  // namespace tsl::test
