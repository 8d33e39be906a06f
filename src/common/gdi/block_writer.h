// Writes blocks of bytes to a stream on a thread of its own, one block in
// flight while the caller fills the next: what the system spends taking
// them (page cache, block allocation, writeback) runs beside the drawing
// instead of in its way.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace gdi {

class BlockWriter {
 public:
  explicit BlockWriter(std::FILE* stream) : stream_(stream) {}
  ~BlockWriter() { Stop(); }
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Takes the first n bytes of `block` to be written after everything
  // handed over before, and leaves in `block` a buffer at least as large to
  // fill next. Writes in the caller's thread when no thread can be had.
  // False once any write failed.
  bool Hand(std::vector<uint8_t>& block, size_t n);
  // Returns when everything handed over is written; false if a write failed.
  bool Wait();
  // The errno value of the first failed write (0: none).
  int Error();
  // Waits for the block in flight and ends the thread; the stream is the
  // caller's again.
  void Stop();

 private:
  void Run();
  bool Put(const uint8_t* p, size_t n);

  std::FILE* stream_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint8_t> pending_;  // the block in flight, or the last one written
  size_t pendingSize_ = 0;
  bool busy_ = false;
  bool stopping_ = false;
  bool noThread_ = false;
  int error_ = 0;
  std::thread thread_;
};

}  // namespace gdi
