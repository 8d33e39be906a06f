// A small writer of EMF bytes in memory, record by record, for metafiles
// made by translation (WMF to EMF) rather than by drawing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "common/gdi/types.h"

namespace tsl {

class EmfBytesWriter {
 public:
  EmfBytesWriter(const gdi::Rect& bounds, const gdi::Rect& frame, const gdi::Size& device,
                 const gdi::Size& millimeters);

  // A record of 32-bit fields.
  void Record(uint32_t type, std::initializer_list<int32_t> fields);
  // A record with any payload (padded to 4 bytes).
  void Raw(uint32_t type, const std::vector<uint8_t>& payload);
  // Adds EMR_EOF, completes the header and hands the bytes over.
  std::vector<uint8_t> Finish(uint16_t nHandles);

  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
  uint32_t records_ = 1;
};

// Little-endian appending helpers for record payloads.
void Append16(std::vector<uint8_t>& v, uint16_t x);
void Append32(std::vector<uint8_t>& v, uint32_t x);

}  // namespace tsl
