// Where a recorder's bytes go: a memory buffer, or a file written through
// AtomicFile, which takes its final name only when the metafile is
// complete.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gdi {

class RecordSink {
 public:
  virtual ~RecordSink() = default;
  // Appends bytes; false once anything failed (the error is kept).
  virtual bool Write(const uint8_t* p, size_t n) = 0;
  // Appends the first n bytes of `block`, which the sink may keep: it leaves
  // a buffer of at least the same size there to fill next.
  virtual bool WriteBlock(std::vector<uint8_t>& block, size_t n) { return Write(block.data(), n); }
  // Overwrites the start of the output with `header` and completes it.
  virtual bool Finish(const std::vector<uint8_t>& header, std::string* error) = 0;
  // The system's reason for the first failed write ("" when none).
  virtual std::string ErrorText() const = 0;
  // Gives up: nothing is left behind.
  virtual void Abandon() = 0;
  // The whole output after a successful Finish (memory only).
  virtual const std::vector<uint8_t>& Bytes() const = 0;
};

std::unique_ptr<RecordSink> MakeMemorySink();
// nullptr with the system's error text when the temporary file cannot be
// created.
std::unique_ptr<RecordSink> MakeFileSink(const std::string& path, std::string* error);

// The system's text for an errno value.
std::string SystemErrorText(int err);

}  // namespace gdi
