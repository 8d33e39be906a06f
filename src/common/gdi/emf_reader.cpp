#include "common/gdi/emf_reader.h"

#include <cinttypes>
#include <cstdio>

#include "common/gdi/emf_bytes.h"

namespace gdi {

namespace {

// The header up to szlMillimeters; the later fields are extensions.
constexpr uint32_t kMinHeader = 88;

template <typename... A>
std::string Format(const char* fmt, A... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

bool Fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

Rect RectAt(const uint8_t* p) {
  return Rect{static_cast<int32_t>(GetU32(p)), static_cast<int32_t>(GetU32(p + 4)),
              static_cast<int32_t>(GetU32(p + 8)), static_cast<int32_t>(GetU32(p + 12))};
}
Size SizeAt(const uint8_t* p) {
  return Size{static_cast<int32_t>(GetU32(p)), static_cast<int32_t>(GetU32(p + 4))};
}

}  // namespace

bool EmfRecord::U32(size_t off, uint32_t* v) const {
  if (!data || off > size || size - off < 4) return false;
  *v = GetU32(data + off);
  return true;
}
bool EmfRecord::I32(size_t off, int32_t* v) const {
  uint32_t u;
  if (!U32(off, &u)) return false;
  *v = static_cast<int32_t>(u);
  return true;
}
bool EmfRecord::I16(size_t off, int16_t* v) const {
  if (!data || off > size || size - off < 2) return false;
  *v = static_cast<int16_t>(GetU16(data + off));
  return true;
}
bool EmfRecord::F32(size_t off, float* v) const {
  uint32_t u;
  if (!U32(off, &u)) return false;
  *v = BitsToFloat(u);
  return true;
}

bool EmfReader::Parse(const uint8_t* data, size_t size, std::string* error) {
  header_ = EmfHeader{};
  records_.clear();
  const uint64_t available = size;
  if (!data || available < kMinHeader)
    return Fail(error, "The data is too short to be an enhanced metafile.");
  if (GetU32(data) != EMR_HEADER)
    return Fail(error, "The data does not begin with an enhanced metafile header.");
  const uint32_t headerSize = GetU32(data + 4);
  if (headerSize < kMinHeader || headerSize % 4 != 0)
    return Fail(error, Format("The metafile header has an invalid size (%" PRIu32 " bytes).", headerSize));
  if (headerSize > available)
    return Fail(error, Format("The metafile is truncated: its header needs %" PRIu32
                              " bytes, only %" PRIu64 " are present.", headerSize, available));
  if (GetU32(data + 40) != kEmfSignature)
    return Fail(error, "The metafile header lacks the \" EMF\" signature.");
  const uint32_t nBytes = GetU32(data + 48);
  if (nBytes < headerSize)
    return Fail(error, Format("The metafile header gives an invalid file size (%" PRIu32 " bytes).", nBytes));
  if (nBytes > available)
    return Fail(error, Format("The metafile is truncated: %" PRIu64 " of its %" PRIu32 " bytes are present.",
                              available, nBytes));

  EmfHeader h;
  h.rclBounds = RectAt(data + 8);
  h.rclFrame = RectAt(data + 24);
  h.nVersion = GetU32(data + 44);
  h.nBytes = nBytes;
  h.nRecords = GetU32(data + 52);
  h.nHandles = GetU16(data + 56);
  h.nDescription = GetU32(data + 60);
  h.offDescription = GetU32(data + 64);
  h.nPalEntries = GetU32(data + 68);
  h.szlDevice = SizeAt(data + 72);
  h.szlMillimeters = SizeAt(data + 80);
  if (h.nDescription != 0) {
    const uint64_t end = uint64_t{h.offDescription} + uint64_t{h.nDescription} * 2;
    if (h.offDescription < kMinHeader || end > headerSize)
      return Fail(error, "The metafile description lies outside the header.");
    h.description.reserve(h.nDescription);
    for (uint32_t i = 0; i < h.nDescription; ++i)
      h.description += static_cast<char16_t>(GetU16(data + h.offDescription + 2 * i));
  }

  uint64_t off = 0;
  bool sawEof = false;
  while (off < nBytes) {
    const uint64_t left = nBytes - off;
    if (left < 8)
      return Fail(error, Format("The record at offset 0x%" PRIx64 " is truncated.", off));
    EmfRecord r;
    r.type = GetU32(data + off);
    r.size = GetU32(data + off + 4);
    if (r.size < 8 || r.size % 4 != 0)
      return Fail(error, Format("The record at offset 0x%" PRIx64 " has an invalid size (%" PRIu32 " bytes).",
                                off, r.size));
    if (r.size > left)
      return Fail(error, Format("The record at offset 0x%" PRIx64 " (%" PRIu32
                                " bytes) runs past the end of the metafile.", off, r.size));
    r.data = data + off;
    r.offset = static_cast<size_t>(off);
    records_.push_back(r);
    off += r.size;
    if (r.type == EMR_EOF && records_.size() > 1) {
      sawEof = true;
      break;  // whatever follows the end of the metafile is not part of it
    }
  }
  if (!sawEof)
    return Fail(error, "The metafile is truncated: it does not end with an EMR_EOF record.");
  header_ = std::move(h);
  return true;
}

}  // namespace gdi
