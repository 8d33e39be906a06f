#include "output/emf_writer.h"

#include "common/gdi/emf_types.h"

namespace tsl {

EmfBytesWriter::EmfBytesWriter(const gdi::Rect& bounds, const gdi::Rect& frame, const gdi::Size& device,
                               const gdi::Size& millimeters) {
  header_.bounds = bounds;
  header_.frame = frame;
  header_.device = device;
  header_.millimeters = millimeters;
  // A placeholder of the header's size; Finish writes the header itself.
  bytes_.assign(gdi::kEmfHeaderFixed, 0);
}

void EmfBytesWriter::Put(const gdi::ByteView& record) {
  bytes_.insert(bytes_.end(), record.data, record.data + record.size);
  ++records_;
}

void EmfBytesWriter::Record(uint32_t type, std::initializer_list<int32_t> fields) {
  rb_.Begin(type);
  for (int32_t f : fields) rb_.I32(f);
  Put(rb_.End());
}

void EmfBytesWriter::Raw(uint32_t type, const std::vector<uint8_t>& payload) {
  rb_.Begin(type);
  rb_.Bytes(payload.data(), payload.size());
  Put(rb_.End());
}

std::vector<uint8_t> EmfBytesWriter::Finish(uint16_t nHandles) {
  Record(gdi::EMR_EOF, {0, 16, 20});
  header_.nBytes = static_cast<uint32_t>(bytes_.size());
  header_.nRecords = records_;
  header_.nHandles = nHandles;
  const gdi::ByteView header = gdi::BuildEmfHeader(rb_, header_);
  std::copy(header.data, header.data + header.size, bytes_.begin());
  return std::move(bytes_);
}

}  // namespace tsl
