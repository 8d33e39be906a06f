#include "common/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "common/io_faults.h"
#include "platform/file_replace.h"

namespace tsl {

namespace {
std::atomic<unsigned> gCounter{0};

int CurrentPid() {
#if defined(_WIN32)
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

void CloseDescriptor(int fd) {
#if defined(_WIN32)
  _close(fd);
#else
  close(fd);
#endif
}

FILE* StreamOver(int fd) {
#if defined(_WIN32)
  return _fdopen(fd, "wb");
#else
  return fdopen(fd, "wb");
#endif
}
}  // namespace

#if defined(__GLIBC__)
// The descriptor behind a stream built with fopencookie, so that each
// transfer of the stream's buffer passes the test hook first.
struct AtomicFile::FaultStream {
  int fd = -1;
  std::string path;

  // A failure is a short count with errno set, never -1: glibc's buffered
  // writer takes a -1 for a count and overruns the caller's data.
  static ssize_t Write(void* cookie, const char* data, size_t n) {
    auto* s = static_cast<FaultStream*>(cookie);
    if (int err = InjectedIoFault(FileStep::Write, s->path)) {
      errno = err;
      return 0;
    }
    size_t done = 0;
    while (done < n) {
      ssize_t w = ::write(s->fd, data + done, n - done);
      if (w < 0) {
        if (errno == EINTR) continue;
        break;
      }
      done += static_cast<size_t>(w);
    }
    return static_cast<ssize_t>(done);
  }
  static int Seek(void* cookie, off64_t* offset, int whence) {
    off64_t at = ::lseek64(static_cast<FaultStream*>(cookie)->fd, *offset, whence);
    if (at < 0) return -1;
    *offset = at;
    return 0;
  }
  static int Close(void* cookie) {
    auto* s = static_cast<FaultStream*>(cookie);
    int rc = ::close(s->fd);
    s->fd = -1;
    return rc;
  }

  FILE* Open(int descriptor, const std::string& finalPath) {
    fd = descriptor;
    path = finalPath;
    cookie_io_functions_t io{nullptr, &Write, &Seek, &Close};
    return fopencookie(this, "wb", io);
  }
};
#else
struct AtomicFile::FaultStream {
  FILE* Open(int fd, const std::string&) { return StreamOver(fd); }
};
#endif

std::string TemporaryNameFor(const std::string& path) {
  std::string suffix = ".tmp-" + std::to_string(CurrentPid()) + "-" + std::to_string(gCounter++);
  // A name near the file system's limit (255 bytes) has no room for the
  // suffix: such a file gets a short temporary name beside it instead.
  size_t slash = path.find_last_of("/\\");
  size_t start = slash == std::string::npos ? 0 : slash + 1;
  if (path.size() - start + suffix.size() <= 200) return path + suffix;
  return path.substr(0, start) + ".tessella" + suffix;
}

AtomicFile::AtomicFile() = default;

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open(const std::string& path) {
  Discard();
  path_ = path;
  if (int err = InjectedIoFault(FileStep::Create, path)) {
    errno = err;
    return false;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = TemporaryNameFor(path);
#if defined(_WIN32)
    int fd = _open(temp_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
#else
    int fd = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
    if (fd < 0) {
      if (errno == EEXIST) continue;
      temp_.clear();
      return false;
    }
    if (HasIoFaultHook()) {
      faults_ = std::make_unique<FaultStream>();
      file_ = faults_->Open(fd, path);
    } else {
      file_ = StreamOver(fd);
    }
    if (!file_) {
      int saved = errno;
      CloseDescriptor(fd);
      faults_.reset();
      std::remove(temp_.c_str());
      temp_.clear();
      errno = saved;
      return false;
    }
    return true;
  }
  errno = EEXIST;
  return false;
}

bool AtomicFile::Commit() {
  if (!file_) return false;
  bool ok = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  int saved = ok ? 0 : errno;
  if (std::fclose(file_) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  file_ = nullptr;
  faults_.reset();
  if (ok) {
    if (int err = InjectedIoFault(FileStep::Close, path_)) {
      ok = false;
      saved = err;
    }
  }
  if (ok) {
    if (int err = InjectedIoFault(FileStep::Rename, path_)) {
      ok = false;
      saved = err;
    }
  }
  if (ok) {
    ok = ReplaceFileWith(temp_, path_);
    if (!ok) saved = errno;
  }
  if (!ok) {
    std::remove(temp_.c_str());
    // A failed write may not have set errno (a short fwrite); say why anyway.
    errno = saved ? saved : EIO;
  }
  temp_.clear();
  return ok;
}

void AtomicFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  faults_.reset();
  if (!temp_.empty()) {
    std::remove(temp_.c_str());
    temp_.clear();
  }
}

}  // namespace tsl
