#include "platform/file_replace.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tsl {

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

bool ResolveWriteTarget(const std::string& path, WriteTarget* target) {
  std::string at = path;
  // Follow links one by one, so that a link to a file not made yet still
  // leads to where that file belongs.
  for (int hops = 0;; ++hops) {
    struct stat st;
    if (::lstat(at.c_str(), &st) != 0) {
      if (errno != ENOENT) return false;
      target->path = at;
      target->exists = false;
      target->mode = 0;
      return true;
    }
    if (S_ISLNK(st.st_mode)) {
      if (hops >= 40) {
        errno = ELOOP;
        return false;
      }
      char buf[PATH_MAX];
      ssize_t n = ::readlink(at.c_str(), buf, sizeof buf - 1);
      if (n < 0) return false;
      std::string link(buf, static_cast<size_t>(n));
      at = link[0] == '/' ? link : FolderOf(at) + "/" + link;
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      return false;
    }
    // A file nobody may write is one the user keeps: it is not replaced,
    // not even by root, who may write anything.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(at.c_str(), W_OK) != 0) {
      errno = EACCES;
      return false;
    }
    target->path = at;
    target->exists = true;
    target->mode = st.st_mode & 07777;
    return true;
  }
}

bool FinishFile(int fd, const WriteTarget& target) {
  if (target.exists && ::fchmod(fd, static_cast<mode_t>(target.mode)) != 0) return false;
  return ::fsync(fd) == 0;
}

void StartWriteback(int fd) {
#if defined(__linux__)
  ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  (void)fd;
#endif
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void SyncFolderOf(const std::string& path) {
  int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace tsl
