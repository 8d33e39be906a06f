// Checked parsing of an EMF held in memory: every record size and offset is
// validated against the buffer before anything reads it, so hostile input
// is refused, never read out of bounds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/gdi/emf_types.h"
#include "common/gdi/types.h"

namespace gdi {

struct EmfRecord {
  uint32_t type = 0;
  uint32_t size = 0;            // whole record, type and size included
  const uint8_t* data = nullptr;  // the whole record
  size_t offset = 0;            // in the file

  // Bounds-checked little-endian field access by byte offset within the
  // record; false when the field lies outside the record.
  bool U32(size_t off, uint32_t* v) const;
  bool I32(size_t off, int32_t* v) const;
  bool I16(size_t off, int16_t* v) const;
  bool F32(size_t off, float* v) const;
};

struct EmfHeader {
  Rect rclBounds;
  Rect rclFrame;
  uint32_t nVersion = 0;
  uint32_t nBytes = 0;
  uint32_t nRecords = 0;
  uint16_t nHandles = 0;
  uint32_t nDescription = 0;
  uint32_t offDescription = 0;
  uint32_t nPalEntries = 0;
  Size szlDevice;
  Size szlMillimeters;
  std::u16string description;  // with its embedded NULs
};

class EmfReader {
 public:
  // Parses `size` bytes at `data` (which must outlive the reader). Returns
  // false with a readable reason for anything that is not a sound EMF: a
  // bad header, a record that is not a multiple of 4 bytes of at least 8 or
  // runs past nBytes, or no EMR_EOF. Bytes after EMR_EOF or after nBytes
  // are ignored. Records() lists every record from the header to EMR_EOF;
  // after a failure it holds the sound records read before the fault.
  bool Parse(const uint8_t* data, size_t size, std::string* error);

  const EmfHeader& Header() const { return header_; }
  const std::vector<EmfRecord>& Records() const { return records_; }

 private:
  EmfHeader header_;
  std::vector<EmfRecord> records_;
};

// One line per record, for golden tests and `tessella --dump`: the record's
// name and decoded parameters (text as UTF-8), or "record N size=S" for
// types without a name, and "NAME size=S (malformed)" when the fields do
// not fit the record.
std::string DumpEmf(const EmfReader& reader);
// "EMR_LINETO" for record type 54; nullptr for a type without a name.
const char* RecordName(uint32_t type);

}  // namespace gdi
