#include "interpreter/input_file.h"

#include <cerrno>
#include <sys/stat.h>

namespace tsl {

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::string& path) {
  Close();
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return false;
  size_ = static_cast<uint64_t>(st.st_size);
  base_ = pos_ = len_ = 0;
  failed_ = false;
  return true;
}

void InputFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool InputFile::Refill() {
  if (!file_) return false;
  // Keep the last byte so that a step back across the refill still works.
  size_t keep = len_ > 0 ? 1 : 0;
  if (keep) buffer_[0] = buffer_[len_ - 1];
  base_ += len_ - keep;
  size_t got = std::fread(buffer_.data() + keep, 1, buffer_.size() - keep, file_);
  if (got == 0 && std::ferror(file_)) failed_ = true;
  len_ = keep + got;
  pos_ = keep;
  return got > 0;
}

bool InputFile::Seek(uint64_t offset) {
  if (offset >= base_ && offset <= base_ + len_) {
    pos_ = static_cast<size_t>(offset - base_);
    return true;
  }
#if defined(_WIN32)
  if (!file_ || _fseeki64(file_, static_cast<long long>(offset), SEEK_SET) != 0) return false;
#else
  if (!file_ || fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
#endif
  base_ = offset;
  pos_ = len_ = 0;
  return true;
}

}  // namespace tsl
