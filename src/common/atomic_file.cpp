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
}  // namespace

std::string TemporaryNameFor(const std::string& path) {
  return path + ".tmp-" + std::to_string(CurrentPid()) + "-" + std::to_string(gCounter++);
}

bool AtomicFile::Open(const std::string& path) {
  Discard();
  path_ = path;
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
#if defined(_WIN32)
    file_ = _fdopen(fd, "wb");
#else
    file_ = fdopen(fd, "wb");
#endif
    if (!file_) {
      int saved = errno;
#if defined(_WIN32)
      _close(fd);
#else
      close(fd);
#endif
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
  int saved = errno;
  ok = std::fclose(file_) == 0 && ok;
  if (!ok && saved) errno = saved;
  file_ = nullptr;
  if (ok) {
#if defined(_WIN32)
    std::remove(path_.c_str());  // rename does not replace on Windows
#endif
    ok = std::rename(temp_.c_str(), path_.c_str()) == 0;
  }
  if (!ok) {
    saved = errno;
    std::remove(temp_.c_str());
    errno = saved;
  }
  temp_.clear();
  return ok;
}

void AtomicFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty()) {
    std::remove(temp_.c_str());
    temp_.clear();
  }
}

}  // namespace tsl
