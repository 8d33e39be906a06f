#include "output/emf_writer.h"

#include <cstring>

#include "common/gdi/emf_types.h"

namespace tsl {

void Append16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

void Append32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

namespace {
void Patch32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
}  // namespace

EmfBytesWriter::EmfBytesWriter(const gdi::Rect& bounds, const gdi::Rect& frame, const gdi::Size& device,
                               const gdi::Size& millimeters) {
  std::vector<uint8_t>& h = bytes_;
  Append32(h, gdi::EMR_HEADER);
  Append32(h, 108);
  for (int32_t v : {bounds.left, bounds.top, bounds.right, bounds.bottom, frame.left, frame.top, frame.right,
                    frame.bottom})
    Append32(h, static_cast<uint32_t>(v));
  Append32(h, gdi::kEmfSignature);
  Append32(h, 0x10000);  // version
  Append32(h, 0);        // nBytes, patched
  Append32(h, 0);        // nRecords, patched
  Append16(h, 0);        // nHandles, patched
  Append16(h, 0);
  Append32(h, 0);  // nDescription
  Append32(h, 0);  // offDescription
  Append32(h, 0);  // nPalEntries
  Append32(h, static_cast<uint32_t>(device.cx));
  Append32(h, static_cast<uint32_t>(device.cy));
  Append32(h, static_cast<uint32_t>(millimeters.cx));
  Append32(h, static_cast<uint32_t>(millimeters.cy));
  Append32(h, 0);  // cbPixelFormat
  Append32(h, 0);  // offPixelFormat
  Append32(h, 0);  // bOpenGL
  Append32(h, static_cast<uint32_t>(millimeters.cx) * 1000);
  Append32(h, static_cast<uint32_t>(millimeters.cy) * 1000);
}

void EmfBytesWriter::Record(uint32_t type, std::initializer_list<int32_t> fields) {
  Append32(bytes_, type);
  Append32(bytes_, static_cast<uint32_t>(8 + 4 * fields.size()));
  for (int32_t f : fields) Append32(bytes_, static_cast<uint32_t>(f));
  ++records_;
}

void EmfBytesWriter::Raw(uint32_t type, const std::vector<uint8_t>& payload) {
  size_t padded = (payload.size() + 3) & ~static_cast<size_t>(3);
  Append32(bytes_, type);
  Append32(bytes_, static_cast<uint32_t>(8 + padded));
  bytes_.insert(bytes_.end(), payload.begin(), payload.end());
  bytes_.resize(bytes_.size() + padded - payload.size(), 0);
  ++records_;
}

std::vector<uint8_t> EmfBytesWriter::Finish(uint16_t nHandles) {
  Record(gdi::EMR_EOF, {0, 16, 20});
  Patch32(bytes_, 48, static_cast<uint32_t>(bytes_.size()));
  Patch32(bytes_, 52, records_);
  bytes_[56] = static_cast<uint8_t>(nHandles);
  bytes_[57] = static_cast<uint8_t>(nHandles >> 8);
  return std::move(bytes_);
}

}  // namespace tsl
