#include "interpreter/input_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "common/io_faults.h"
#include "common/notify.h"

namespace tsl {

InputFile::~InputFile() { Close(); }

bool InputFile::Fail(int err) {
  error_ = SysErrText(err);
  errno = err;
  return false;
}

bool InputFile::Open(const std::string& path) {
  Close();
  path_ = path;
  error_.clear();
  if (int err = InjectedIoFault(FileStep::Open, path)) return Fail(err);
#if defined(_WIN32)
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return Fail(errno);
  if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return Fail(errno);
#else
  // Opened without blocking, so that a pipe nobody writes to is refused
  // rather than waited for; checked on the descriptor, so that what is
  // checked is what is read.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Fail(errno);
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int err = errno;
    close(fd);
    return Fail(err);
  }
  if (!S_ISREG(st.st_mode)) {
    close(fd);
    if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
    error_ = "Not a regular file: a pipe, socket or device cannot be converted";
    errno = EINVAL;
    return false;
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  file_ = fdopen(fd, "rb");
  if (!file_) {
    int err = errno;
    close(fd);
    return Fail(err);
  }
#endif
  // Reads go straight into our own buffer: a second one in the stream would
  // split each refill into two system reads.
  std::setvbuf(file_, nullptr, _IONBF, 0);
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
  if (!file_ || failed_) return false;
  // Keep the last byte so that a step back across the refill still works.
  size_t keep = len_ > 0 ? 1 : 0;
  if (keep) buffer_[0] = buffer_[len_ - 1];
  base_ += len_ - keep;
  size_t got = 0;
  if (int err = InjectedIoFault(FileStep::Read, path_)) {
    failed_ = true;
    error_ = SysErrText(err);
  } else {
    got = std::fread(buffer_.data() + keep, 1, buffer_.size() - keep, file_);
    if (got == 0 && std::ferror(file_)) {
      failed_ = true;
      error_ = SysErrText(errno);
    } else if (got == 0 && base_ + keep < size_) {
      // Cut short by another program while we read it: what we have is
      // not the plot that was there.
      failed_ = true;
      error_ = "The file became shorter while it was read";
    }
  }
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
