// Compressed metafiles (EMZ): the EMF bytes in one gzip member whose header
// names the metafile and the program that made it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace tsl {

// The comment stored in every EMZ header.
extern const char kEmzComment[];

// A gzip file being written through a deflate stream of its own; the file
// appears under its name only after a successful Close.
class GzipWriter {
 public:
  GzipWriter();
  ~GzipWriter();
  GzipWriter(const GzipWriter&) = delete;
  GzipWriter& operator=(const GzipWriter&) = delete;

  bool Open(const std::string& path);  // errno set on failure
  bool IsWriting() const;
  bool HasError() const;
  // Compresses n bytes; returns the count taken (less on an error).
  size_t Write(const void* data, size_t n);
  // Finishes the member and puts the file in place: 0, else non-zero.
  int Close();
  const char* ErrorText() const;

 private:
  friend int gzipheader(GzipWriter& file, const char* name, int64_t time, const char* comment);
  struct State;
  bool Init();
  bool Drain(int flush);
  std::unique_ptr<State> s_;
};

// Sets the gzip header of a file opened for writing, before its first byte:
// the name, the time, operating system 11 and the comment (when not empty).
// 0 when set, or when the file is not writing or is in an error state;
// non-zero for zlib's failure.
int gzipheader(GzipWriter& file, const char* name, int64_t time, const char* comment);

// Compresses the EMF at `emfPath` into `emzPath`. Returns the number of EMF
// bytes compressed, 0 on failure.
int64_t CompressEMF(const std::string& emzPath, const std::string& emfPath,
                    const Clock& clock = SystemClock());

// Decompresses `emzPath` into `emfPath` (a file that is not gzip is copied
// as it is). Returns the bytes written, 0 on failure; a damaged or truncated
// EMZ writes nothing.
int64_t UncompressEMF(const std::string& emfPath, const std::string& emzPath);

// True when `data` starts with the gzip signature.
bool IsGzip(const uint8_t* data, size_t size);

// Decompresses gzip data in memory, refusing (with a reason) damaged data
// and output beyond `maxOut` bytes, so that a small hostile file cannot
// claim unbounded memory.
bool GunzipBytes(const uint8_t* data, size_t size, size_t maxOut, std::vector<uint8_t>* out,
                 std::string* error);

}  // namespace tsl
