// A metafile opened to be played record by record, so that drawing it takes
// the memory of one record whatever the size of the file: an EMF is read as
// it is played, an EMZ decompressed as it is read. WMF and placeable files
// are converted in memory first (their records are 16-bit counted and
// small).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/gdi/emf_reader.h"

namespace tsl {

class MetafileStream {
 public:
  MetafileStream();
  ~MetafileStream();
  MetafileStream(const MetafileStream&) = delete;
  MetafileStream& operator=(const MetafileStream&) = delete;

  // Opens `path` (EMF, EMZ, WMF or placeable WMF, by content) and reads
  // the header. False after one "LMF: ..." debug line, with the reason in
  // the words of LoadMetaFile.
  bool Open(const std::string& path, std::string* error);
  // The same for an EMF held in memory (which must outlive the stream).
  bool OpenBytes(const uint8_t* data, size_t size, std::string* error);

  const gdi::EmfHeader& Header() const { return reader_->Header(); }
  gdi::EmfStreamReader& Reader() { return *reader_; }

 private:
  bool Start(const char* prefix, std::string* error);

  std::unique_ptr<gdi::ByteSource> source_;
  std::unique_ptr<gdi::EmfStreamReader> reader_;
  std::vector<uint8_t> converted_;  // a WMF's enhanced metafile
};

}  // namespace tsl
