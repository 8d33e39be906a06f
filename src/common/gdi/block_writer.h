// Writes blocks of bytes to a stream on a thread of its own while the
// caller fills the next ones: what the system spends taking them (page
// cache, block allocation, writeback) runs beside the drawing instead of in
// its way. A few blocks may wait, so that a write the system holds up for a
// moment does not hold up the caller.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
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
  // Waits for the blocks handed over and ends the thread; the stream is the
  // caller's again.
  void Stop();

 private:
  static constexpr size_t kMaxWaiting = 8;

  void Run();
  bool Put(const uint8_t* p, size_t n);

  std::FILE* stream_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::pair<std::vector<uint8_t>, size_t>> waiting_;  // blocks and their byte counts
  std::vector<std::vector<uint8_t>> spare_;                      // written, to be filled again
  bool writing_ = false;  // the thread holds a block taken from waiting_
  bool stopping_ = false;
  bool noThread_ = false;
  int error_ = 0;
  std::thread thread_;
};

}  // namespace gdi
