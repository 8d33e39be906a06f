// EMF bytes in memory, record by record, for metafiles made by translation
// (WMF to EMF) rather than by drawing; records and header are built by the
// recorder's own RecordBuilder and BuildEmfHeader.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "common/gdi/emf_bytes.h"
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
  void Put(const gdi::ByteView& record);

  gdi::EmfHeaderFields header_;
  gdi::RecordBuilder rb_;
  std::vector<uint8_t> bytes_;
  uint32_t records_ = 1;
};

using gdi::Append16;
using gdi::Append32;

}  // namespace tsl
