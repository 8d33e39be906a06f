#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/settings_store_file.h"
#include "settings/settings_store.h"

namespace tsl {

namespace {

std::string ErrorText(int code, const std::string& path) { return std::string(std::strerror(code)) + ": " + path; }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.release();
    }
    return *this;
  }
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<SettingsStore> CreatePlatformSettingsStore() { return std::make_unique<FileSettingsStore>(); }

std::string CurrentProgramPath() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  return std::string(buf, static_cast<size_t>(n));
}

FileReadResult ReadWholeFile(const std::string& path, size_t maxBytes, std::string* bytes,
                             std::string* systemText) {
  bytes->clear();
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileReadResult::Missing;
    *systemText = ErrorText(errno, path);
    return FileReadResult::Failed;
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) {
    *systemText = ErrorText(errno, path);
    return FileReadResult::Failed;
  }
  if (!S_ISREG(st.st_mode)) {
    *systemText = ErrorText(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, path);
    return FileReadResult::Failed;
  }
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
    *systemText = ErrorText(EFBIG, path);
    return FileReadResult::TooLarge;
  }
  // The size may change under us; never read more than the limit.
  bytes->resize(static_cast<size_t>(st.st_size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes->size()) {
      if (bytes->size() > maxBytes) {
        bytes->clear();
        *systemText = ErrorText(EFBIG, path);
        return FileReadResult::TooLarge;
      }
      bytes->resize(std::min(maxBytes + 1, bytes->size() * 2));
    }
    ssize_t n = ::read(fd.get(), &(*bytes)[got], bytes->size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      bytes->clear();
      *systemText = ErrorText(errno, path);
      return FileReadResult::Failed;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes->resize(got);
  return FileReadResult::Ok;
}

}  // namespace tsl
