#include "common/gdi/emf_reader.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

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

namespace {

// Checks the header record held whole in `data` (headerSize bytes, already
// found sound) and reads its fields.
bool ReadHeaderFields(const uint8_t* data, uint32_t headerSize, EmfHeader* h, std::string* error) {
  if (GetU32(data + 40) != kEmfSignature)
    return Fail(error, "The metafile header lacks the \" EMF\" signature.");
  const uint32_t nBytes = GetU32(data + 48);
  if (nBytes < headerSize)
    return Fail(error, Format("The metafile header gives an invalid file size (%" PRIu32 " bytes).", nBytes));
  h->rclBounds = RectAt(data + 8);
  h->rclFrame = RectAt(data + 24);
  h->nVersion = GetU32(data + 44);
  h->nBytes = nBytes;
  h->nRecords = GetU32(data + 52);
  h->nHandles = GetU16(data + 56);
  h->nDescription = GetU32(data + 60);
  h->offDescription = GetU32(data + 64);
  h->nPalEntries = GetU32(data + 68);
  h->szlDevice = SizeAt(data + 72);
  h->szlMillimeters = SizeAt(data + 80);
  if (h->nDescription != 0) {
    const uint64_t end = uint64_t{h->offDescription} + uint64_t{h->nDescription} * 2;
    if (h->offDescription < kMinHeader || end > headerSize)
      return Fail(error, "The metafile description lies outside the header.");
    h->description.reserve(h->nDescription);
    for (uint32_t i = 0; i < h->nDescription; ++i)
      h->description += static_cast<char16_t>(GetU16(data + h->offDescription + 2 * i));
  }
  return true;
}

// The first 8 bytes of a header: its type and a size that can hold the
// fields read.
bool CheckHeaderStart(const uint8_t* data, uint32_t* headerSize, std::string* error) {
  if (GetU32(data) != EMR_HEADER)
    return Fail(error, "The data does not begin with an enhanced metafile header.");
  *headerSize = GetU32(data + 4);
  if (*headerSize < kMinHeader || *headerSize % 4 != 0)
    return Fail(error, Format("The metafile header has an invalid size (%" PRIu32 " bytes).", *headerSize));
  return true;
}

// A record's size against what is left of the metafile.
bool CheckRecordSize(uint64_t off, uint32_t size, uint64_t left, std::string* error) {
  if (size < 8 || size % 4 != 0)
    return Fail(error, Format("The record at offset 0x%" PRIx64 " has an invalid size (%" PRIu32 " bytes).",
                              off, size));
  if (size > left)
    return Fail(error, Format("The record at offset 0x%" PRIx64 " (%" PRIu32
                              " bytes) runs past the end of the metafile.", off, size));
  return true;
}

std::string Truncated(uint64_t available, uint64_t nBytes) {
  return Format("The metafile is truncated: %" PRIu64 " of its %" PRIu64 " bytes are present.", available, nBytes);
}

const char kNoEof[] = "The metafile is truncated: it does not end with an EMR_EOF record.";

}  // namespace

bool EmfReader::Parse(const uint8_t* data, size_t size, std::string* error) {
  header_ = EmfHeader{};
  records_.clear();
  const uint64_t available = size;
  if (!data || available < kMinHeader)
    return Fail(error, "The data is too short to be an enhanced metafile.");
  uint32_t headerSize = 0;
  if (!CheckHeaderStart(data, &headerSize, error)) return false;
  if (headerSize > available)
    return Fail(error, Format("The metafile is truncated: its header needs %" PRIu32
                              " bytes, only %" PRIu64 " are present.", headerSize, available));
  EmfHeader h;
  if (!ReadHeaderFields(data, headerSize, &h, error)) return false;
  const uint32_t nBytes = h.nBytes;
  if (nBytes > available) return Fail(error, Truncated(available, nBytes));

  uint64_t off = 0;
  bool sawEof = false;
  while (off < nBytes) {
    const uint64_t left = nBytes - off;
    if (left < 8)
      return Fail(error, Format("The record at offset 0x%" PRIx64 " is truncated.", off));
    EmfRecord r;
    r.type = GetU32(data + off);
    r.size = GetU32(data + off + 4);
    if (!CheckRecordSize(off, r.size, left, error)) return false;
    r.data = data + off;
    r.offset = static_cast<size_t>(off);
    records_.push_back(r);
    off += r.size;
    if (r.type == EMR_EOF && records_.size() > 1) {
      sawEof = true;
      break;  // whatever follows the end of the metafile is not part of it
    }
  }
  if (!sawEof) return Fail(error, kNoEof);
  header_ = std::move(h);
  return true;
}

size_t MemorySource::Read(uint8_t* buf, size_t n, std::string*) {
  size_t take = n < size_ - at_ ? n : size_ - at_;
  if (take) std::memcpy(buf, data_ + at_, take);
  at_ += take;
  return take;
}

namespace {
// Read in blocks of this size; a larger record grows the buffer only as
// its bytes arrive, so a size that lies costs no more than the data.
constexpr size_t kBlock = 256 * 1024;
}  // namespace

EmfStreamReader::EmfStreamReader(ByteSource* source) : source_(source) {}
EmfStreamReader::~EmfStreamReader() = default;

bool EmfStreamReader::Fill(size_t n, std::string* error) {
  while (end_ - at_ < n) {
    if (sourceDone_) return false;
    if (at_ > 0) {
      std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
      end_ -= at_;
      at_ = 0;
    }
    if (end_ == buffer_.size()) buffer_.resize(buffer_.empty() ? kBlock : 2 * buffer_.size());
    std::string why;
    size_t want = buffer_.size() - end_;
    size_t got = source_->Read(buffer_.data() + end_, want, &why);
    end_ += got;
    if (got < want) {
      sourceDone_ = true;
      if (!why.empty()) {
        Fail(error, why);
        return false;
      }
    }
  }
  return true;
}

bool EmfStreamReader::Skip(uint64_t n, uint64_t* present, std::string* error) {
  // The last record stays where it is in buffer_: what is read past it
  // goes into a scratch block.
  uint64_t buffered = end_ - at_;
  uint64_t take = n < buffered ? n : buffered;
  at_ += static_cast<size_t>(take);
  *present = take;
  if (take == n) return true;
  std::vector<uint8_t> scratch(static_cast<size_t>(n - take < kBlock ? n - take : kBlock));
  while (*present < n && !sourceDone_) {
    size_t want = static_cast<size_t>(n - *present < scratch.size() ? n - *present : scratch.size());
    size_t got = source_->Read(scratch.data(), want, error);
    *present += got;
    if (got < want) sourceDone_ = true;
  }
  return *present == n && error->empty();
}

bool EmfStreamReader::ReadHeader(std::string* error) {
  header_ = EmfHeader{};
  std::string why;
  if (!Fill(kMinHeader, &why))
    return Fail(error, why.empty() ? "The data is too short to be an enhanced metafile." : why);
  const uint8_t* data = buffer_.data() + at_;
  if (!CheckHeaderStart(data, &headerSize_, error)) return false;
  if (!Fill(headerSize_, &why))
    return Fail(error, why.empty() ? Format("The metafile is truncated: its header needs %" PRIu32
                                            " bytes, only %zu are present.", headerSize_, end_ - at_)
                                   : why);
  EmfHeader h;
  if (!ReadHeaderFields(buffer_.data() + at_, headerSize_, &h, error)) return false;
  header_ = std::move(h);
  nBytes_ = header_.nBytes;
  return true;
}

EmfStreamReader::Step EmfStreamReader::Next(EmfRecord* r, std::string* error) {
  if (!fault_.empty()) return Fault(fault_, error);
  if (done_) return Step::kEnd;
  if (nBytes_ == 0) return Fault("The metafile header was not read.", error);
  if (offset_ >= nBytes_) return Fault(kNoEof, error);
  const uint64_t left = nBytes_ - offset_;
  std::string why;
  if (left < 8) return Fault(Format("The record at offset 0x%" PRIx64 " is truncated.", offset_), error);
  if (!Fill(8, &why)) return Fault(why.empty() ? Truncated(offset_ + (end_ - at_), nBytes_) : why, error);
  r->type = GetU32(buffer_.data() + at_);
  r->size = GetU32(buffer_.data() + at_ + 4);
  if (!CheckRecordSize(offset_, r->size, left, &why)) return Fault(why, error);
  if (!Fill(r->size, &why)) return Fault(why.empty() ? Truncated(offset_ + (end_ - at_), nBytes_) : why, error);
  r->data = buffer_.data() + at_;
  r->offset = static_cast<size_t>(offset_);
  at_ += r->size;
  offset_ += r->size;
  ++count_;
  if (r->type == EMR_EOF && count_ > 1) {
    done_ = true;
    // As Parse, every byte the header counts must be there.
    uint64_t present = 0;
    if (!Skip(nBytes_ - offset_, &present, &why))
      return Fault(why.empty() ? Truncated(offset_ + present, nBytes_) : why, error);
  }
  return Step::kRecord;
}

EmfStreamReader::Step EmfStreamReader::Fault(const std::string& why, std::string* error) {
  fault_ = why;  // a reader that failed stays failed
  Fail(error, why);
  return Step::kFault;
}

bool CheckEmf(const uint8_t* data, size_t size, std::string* error) {
  if (!data) return Fail(error, "The data is too short to be an enhanced metafile.");
  MemorySource source(data, size);
  EmfStreamReader reader(&source);
  if (!reader.ReadHeader(error)) return false;
  EmfRecord record;
  EmfStreamReader::Step step;
  while ((step = reader.Next(&record, error)) == EmfStreamReader::Step::kRecord) {
  }
  return step == EmfStreamReader::Step::kEnd;
}

}  // namespace gdi
