#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/settings_store_file.h"
#include "platform/settings_store.h"

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
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string DirName(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

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

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* systemText) {
  // Replace the file a link points to, not the link.
  std::string target = path;
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  std::string tmp = target + ".XXXXXX";
  Fd fd(::mkstemp(&tmp[0]));
  if (fd.get() < 0) {
    *systemText = ErrorText(errno, target);
    return false;
  }
  mode_t mode;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int err = 0;
  if (!WriteAll(fd.get(), bytes) || ::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0) err = errno;
  if (::close(fd.release()) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(tmp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(tmp.c_str());
    *systemText = ErrorText(err, target);
    return false;
  }
  // Make the rename itself durable; a failure here loses nothing.
  Fd dir(::open(DirName(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

}  // namespace tsl
