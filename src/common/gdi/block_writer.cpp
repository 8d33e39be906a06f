#include "common/gdi/block_writer.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace gdi {

bool BlockWriter::Put(const uint8_t* p, size_t n) {
  errno = 0;
  if (std::fwrite(p, 1, n, stream_) == n) return true;
  const int err = errno ? errno : EIO;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!error_) error_ = err;
  return false;
}

bool BlockWriter::Hand(std::vector<uint8_t>& block, size_t n) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  if (error_) return false;
  if (!thread_.joinable() && !noThread_) {
    try {
      thread_ = std::thread(&BlockWriter::Run, this);
    } catch (const std::system_error&) {
      noThread_ = true;
    }
  }
  if (noThread_) {
    lock.unlock();
    return Put(block.data(), n);
  }
  const size_t room = block.size();
  pending_.swap(block);
  pendingSize_ = n;
  busy_ = true;
  changed_.notify_all();
  lock.unlock();
  // The first block leaves nothing to swap back: the caller gets a new one.
  if (block.size() < room) block.resize(room);
  return true;
}

bool BlockWriter::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  return error_ == 0;
}

int BlockWriter::Error() {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

void BlockWriter::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  stopping_ = false;
}

void BlockWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (busy_) {
      // A block after a failed write is dropped: the file is lost anyway.
      if (!error_) {
        lock.unlock();
        Put(pending_.data(), pendingSize_);
        lock.lock();
      }
      busy_ = false;
      changed_.notify_all();
      continue;
    }
    return;
  }
}

}  // namespace gdi
