#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/io_faults.h"
#include "platform/posix/settings_store_file.h"
#include "settings/settings_store.h"

namespace tsl {

namespace {

std::string ErrorText(int code, const std::string& path) { return std::string(std::strerror(code)) + ": " + path; }

std::atomic<unsigned> gTempCounter{0};

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
  // Created with 0666 so that the umask applies as to any new file (the
  // store's own folder is private); an existing file keeps its mode.
  std::string tmp;
  Fd fd(-1);
  if (int err = InjectedIoFault(FileStep::Create, target)) {
    *systemText = ErrorText(err, target);
    return false;
  }
  for (unsigned attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
    tmp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(gTempCounter++);
    fd = Fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0 && errno != EEXIST) break;
  }
  if (fd.get() < 0) {
    *systemText = ErrorText(errno, target);
    return false;
  }
  struct stat st;
  bool keepMode = ::stat(target.c_str(), &st) == 0;
  int err = InjectedIoFault(FileStep::Write, target);
  if (err == 0 && (!WriteAll(fd.get(), bytes) || (keepMode && ::fchmod(fd.get(), st.st_mode & 07777) != 0) ||
                   ::fsync(fd.get()) != 0))
    err = errno;
  if (::close(fd.release()) != 0 && err == 0) err = errno;
  if (err == 0) err = InjectedIoFault(FileStep::Close, target);
  if (err == 0) err = InjectedIoFault(FileStep::Rename, target);
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
