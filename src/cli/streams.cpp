#include "cli/streams.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/notify.h"

namespace tsl {

ScratchFolder::~ScratchFolder() { Remove(); }

std::string ScratchFolder::NewName(const std::string& hint, std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (path_.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessella-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
      *error = "cannot make a temporary folder in '" + pattern.substr(0, pattern.size() - 16) +
               "': " + SysErrText(errno);
      return std::string();
    }
    path_ = pattern;
  }
  std::string name = hint.empty() ? "file" : hint;
  if (!used_.insert(name).second) name = std::to_string(counter_++) + "-" + name;
  return path_ + "/" + name;
}

void ScratchFolder::Remove() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (path_.empty()) return;
  if (DIR* d = opendir(path_.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
        unlink((path_ + "/" + e->d_name).c_str());
    closedir(d);
  }
  rmdir(path_.c_str());
  path_.clear();
}

namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size) {
    ssize_t w = write(fd, data, size);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    data += w;
    size -= static_cast<size_t>(w);
  }
  return true;
}

// The descriptor for a stream target; -1 with errno set.
int OpenStream(const std::string& target, bool* owned) {
  *owned = false;
  if (target == "-") {
    std::fflush(stdout);
    return STDOUT_FILENO;
  }
  if (target == "-2") {
    std::fflush(stderr);
    return STDERR_FILENO;
  }
  *owned = true;
  return open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
}

std::string StreamName(const std::string& target) {
  return target == "-" ? "standard output" : target == "-2" ? "standard error" : "'" + target + "'";
}

}  // namespace

bool WriteToStream(const std::string& target, const uint8_t* data, size_t size, std::string* error) {
  bool owned;
  int fd = OpenStream(target, &owned);
  bool ok = fd >= 0 && WriteAll(fd, data, size);
  int err = errno;
  if (owned && fd >= 0 && close(fd) != 0 && ok) ok = false, err = errno;
  if (!ok) *error = "cannot write to " + StreamName(target) + ": " + SysErrText(err);
  return ok;
}

bool CopyFileToStream(const std::string& file, const std::string& target, std::string* error) {
  int in = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    *error = "cannot read '" + file + "': " + SysErrText(errno);
    return false;
  }
  bool owned;
  int fd = OpenStream(target, &owned);
  bool ok = fd >= 0;
  int err = errno;
  uint8_t buffer[1 << 16];
  while (ok) {
    ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) ok = false, err = errno;
      break;
    }
    if (!WriteAll(fd, buffer, static_cast<size_t>(n))) ok = false, err = errno;
  }
  close(in);
  if (owned && fd >= 0 && close(fd) != 0 && ok) ok = false, err = errno;
  if (!ok) *error = "cannot write to " + StreamName(target) + ": " + SysErrText(err);
  return ok;
}

bool CloseStandardOutput() {
  bool ok = std::fflush(stdout) == 0 && !std::ferror(stdout);
  int err = errno;
  // A standard output closed from the start (>&-) that nothing was
  // written to has lost nothing.
  if (std::fclose(stdout) != 0 && ok && errno != EBADF) ok = false, err = errno;
  if (!ok) std::fprintf(stderr, "tessella: error: writing to standard output failed: %s\n", SysErrText(err).c_str());
  return ok;
}

}  // namespace tsl
