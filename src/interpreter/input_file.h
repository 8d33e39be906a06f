// The plot file, read through a buffer with the behaviour of byte-by-byte
// reads: one byte at a time, a step back of one byte, and a return to an
// earlier offset.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tsl {

class InputFile {
 public:
  // The bytes read ahead at a time.
  static constexpr size_t kReadAhead = 64 * 1024;

  InputFile() : buffer_(kReadAhead) {}
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False when the file cannot be opened or is not a regular file (a folder,
  // a pipe or a device has no end to rely on, or blocks); ErrorText() says
  // why.
  bool Open(const std::string& path);
  void Close();

  // The next byte, or -1 at the end of the file (or on a read error).
  int Get() {
    if (pos_ < len_) return static_cast<unsigned char>(buffer_[pos_++]);
    return Refill() ? static_cast<unsigned char>(buffer_[pos_++]) : -1;
  }
  // The bytes already read ahead (none at the end of the file): callers
  // scan them in place and Advance past what they took.
  const char* Peek(size_t* available) {
    if (pos_ >= len_ && !Refill()) {
      *available = 0;
      return nullptr;
    }
    *available = len_ - pos_;
    return buffer_.data() + pos_;
  }
  void Advance(size_t n) { pos_ += n; }
  // Gives back the byte just read.
  void Unget() {
    if (pos_ > 0) --pos_;
  }
  uint64_t Tell() const { return base_ + pos_; }
  bool Seek(uint64_t offset);
  uint64_t Size() const { return size_; }
  // A read failed before the end of the file; ErrorText() says why.
  bool Failed() const { return failed_; }
  const std::string& ErrorText() const { return error_; }

 private:
  bool Refill();
  bool Fail(int err);
  FILE* file_ = nullptr;
  std::string path_, error_;
  std::vector<char> buffer_;
  size_t pos_ = 0, len_ = 0;
  uint64_t base_ = 0;  // file offset of buffer_[0]
  uint64_t size_ = 0;
  bool failed_ = false;
};

}  // namespace tsl
