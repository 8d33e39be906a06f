#include "common/atomic_file.h"

#include <fcntl.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "common/io_faults.h"
#include "common/notify.h"

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

#if !defined(__GLIBC__)
FILE* StreamOver(int fd) {
#if defined(_WIN32)
  return _fdopen(fd, "wb");
#else
  return fdopen(fd, "wb");
#endif
}
#endif
}  // namespace

#if defined(__GLIBC__)
// The stream over the temporary file's descriptor, built with fopencookie:
// each transfer of its buffer passes the test hook first (when one was set
// at the open), and every few megabytes the system is asked to start
// writing what came so far, so that the flush to the disk at Commit has
// little left to wait for.
struct AtomicFile::WriteStream {
  static constexpr size_t kWritebackStep = 8u << 20;
  int fd = -1;
  std::string path;
  bool faults = false;
  size_t sinceWriteback = 0;

  // A failure is a short count with errno set, never -1: glibc's buffered
  // writer takes a -1 for a count and overruns the caller's data.
  static ssize_t Write(void* cookie, const char* data, size_t n) {
    auto* s = static_cast<WriteStream*>(cookie);
    if (s->faults) {
      if (int err = InjectedIoFault(FileStep::Write, s->path)) {
        errno = err;
        return 0;
      }
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
    s->sinceWriteback += done;
    if (s->sinceWriteback >= kWritebackStep) {
      s->sinceWriteback = 0;
      StartWriteback(s->fd);
    }
    return static_cast<ssize_t>(done);
  }
  static int Seek(void* cookie, off64_t* offset, int whence) {
    off64_t at = ::lseek64(static_cast<WriteStream*>(cookie)->fd, *offset, whence);
    if (at < 0) return -1;
    *offset = at;
    return 0;
  }
  static int Close(void* cookie) {
    auto* s = static_cast<WriteStream*>(cookie);
    int rc = ::close(s->fd);
    s->fd = -1;
    return rc;
  }

  explicit WriteStream(const std::string& finalPath) : path(finalPath), faults(HasIoFaultHook()) {}
  // Allocates nothing but the stream itself (a null stream when that fails).
  FILE* Open(int descriptor) {
    fd = descriptor;
    cookie_io_functions_t io{nullptr, &Write, &Seek, &Close};
    return fopencookie(this, "wb", io);
  }
};
#else
// Here the hook sees no single writes (create, sync, close and rename it
// still sees).
struct AtomicFile::WriteStream {
  explicit WriteStream(const std::string&) {}
  FILE* Open(int fd) { return StreamOver(fd); }
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
  if (!ResolveWriteTarget(path, &target_)) return false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = TemporaryNameFor(target_.path);
    // What the stream needs is allocated before the descriptor exists: memory
    // that runs out must not leave a file open (and, on Windows, undeletable).
    auto stream = std::make_unique<WriteStream>(path);
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
    file_ = stream->Open(fd);
    if (!file_) {
      int saved = errno;
      CloseDescriptor(fd);
      std::remove(temp_.c_str());
      temp_.clear();
      errno = saved;
      return false;
    }
    fd_ = fd;
    stream_ = std::move(stream);
    return true;
  }
  errno = EEXIST;
  return false;
}

bool AtomicFile::Commit() {
  if (!file_) return false;
  bool ok = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  int saved = ok ? 0 : errno;
  if (ok) {
    if (int err = InjectedIoFault(FileStep::Sync, path_)) {
      ok = false;
      saved = err;
    } else if (!FinishFile(fd_, target_)) {
      ok = false;
      saved = errno;
    }
  }
  if (std::fclose(file_) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  file_ = nullptr;
  fd_ = -1;
  stream_.reset();
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
    ok = ReplaceFileWith(temp_, target_.path);
    if (!ok) saved = errno;
  }
  if (!ok) {
    std::remove(temp_.c_str());
    // A failed write may not have set errno (a short fwrite); say why anyway.
    errno = saved ? saved : EIO;
  } else {
    SyncFolderOf(target_.path);
  }
  temp_.clear();
  return ok;
}

void AtomicFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  fd_ = -1;
  stream_.reset();
  if (!temp_.empty()) {
    std::remove(temp_.c_str());
    temp_.clear();
  }
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* systemText) {
  AtomicFile file;
  bool ok =
      file.Open(path) && std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) == bytes.size() && file.Commit();
  if (!ok) {
    int err = errno ? errno : EIO;
    file.Discard();
    *systemText = SysErrText(err) + ": " + path;
  }
  return ok;
}

}  // namespace tsl
