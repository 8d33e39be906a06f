// Checked parsing of an EMF held in memory: every record size and offset is
// validated against the buffer before anything reads it, so hostile input
// is refused, never read out of bounds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
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

// Where a metafile read record by record comes from: a file, a gzip
// stream, memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `n` bytes into `buf`: fewer only at the end of the data or on a
  // fault, which sets *error.
  virtual size_t Read(uint8_t* buf, size_t n, std::string* error) = 0;
};

// Bytes held in memory (which must outlive the source).
class MemorySource : public ByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Read(uint8_t* buf, size_t n, std::string* error) override;

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The checks of EmfReader::Parse, made while the records are read one by
// one from a source: memory stays that of one record (and a read buffer)
// whatever the length of the metafile. A fault is found when it is reached,
// after the records before it were handed out.
class EmfStreamReader {
 public:
  explicit EmfStreamReader(ByteSource* source);
  ~EmfStreamReader();
  EmfStreamReader(const EmfStreamReader&) = delete;
  EmfStreamReader& operator=(const EmfStreamReader&) = delete;

  // Reads and checks the header record; false with the reason.
  bool ReadHeader(std::string* error);
  const EmfHeader& Header() const { return header_; }

  enum class Step { kRecord, kEnd, kFault };
  // The next record, from the header (again, as the first one) to EMR_EOF
  // included; its data stay valid until the next call. kEnd after
  // EMR_EOF, kFault with the reason for damaged or missing data.
  Step Next(EmfRecord* record, std::string* error);
  uint64_t Offset() const { return offset_; }

 private:
  // Makes `n` bytes available at `at_`; false (with *error) when the data
  // end first.
  bool Fill(size_t n, std::string* error);
  // Reads past `n` bytes without keeping them; *present counts those found.
  bool Skip(uint64_t n, uint64_t* present, std::string* error);
  Step Fault(const std::string& why, std::string* error);

  ByteSource* source_;
  EmfHeader header_;
  std::vector<uint8_t> buffer_;
  size_t at_ = 0, end_ = 0;  // unread bytes lie in buffer_[at_, end_)
  bool sourceDone_ = false;
  uint64_t offset_ = 0;      // of the next record in the file
  uint64_t nBytes_ = 0;
  uint32_t headerSize_ = 0;
  uint64_t count_ = 0;
  bool done_ = false;
  std::string fault_;
};

// The checks of EmfReader::Parse without keeping a list of the records (in
// the memory of one record): true for a sound EMF.
bool CheckEmf(const uint8_t* data, size_t size, std::string* error);

// One line per record, for golden tests and `tessella --dump`: the record's
// name and decoded parameters (text as UTF-8), or "record N size=S" for
// types without a name, and "NAME size=S (malformed)" when the fields do
// not fit the record.
std::string DumpEmf(const EmfReader& reader);
// "EMR_LINETO" for record type 54; nullptr for a type without a name.
const char* RecordName(uint32_t type);

}  // namespace gdi
