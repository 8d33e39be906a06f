#include "common/gdi/block_writer.h"

#include <cerrno>
#include <system_error>

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
  changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting || error_; });
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
  std::vector<uint8_t> next;
  if (!spare_.empty()) {
    next = std::move(spare_.back());
    spare_.pop_back();
  }
  waiting_.emplace_back(std::move(block), n);
  changed_.notify_all();
  lock.unlock();
  // Until blocks come back written, the caller gets new ones.
  if (next.size() < room) next.resize(room);
  block = std::move(next);
  return true;
}

bool BlockWriter::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.empty() && !writing_; });
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
    changed_.wait(lock, [this] { return !waiting_.empty() || stopping_; });
    if (waiting_.empty()) return;  // stopping, and all written
    std::pair<std::vector<uint8_t>, size_t> job = std::move(waiting_.front());
    waiting_.pop_front();
    writing_ = true;
    // A block after a failed write is dropped: the file is lost anyway.
    if (!error_) {
      lock.unlock();
      Put(job.first.data(), job.second);
      lock.lock();
    }
    writing_ = false;
    spare_.push_back(std::move(job.first));
    changed_.notify_all();
  }
}

}  // namespace gdi
