#include "cli/output_guard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "cli/file_identity.h"
#include "cli/plan.h"
#include "common/notify.h"

namespace tsl {

namespace {

std::atomic<unsigned> gKept{0};

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// A copy where a hard link cannot be made (a file system without them, or
// a file of another owner); the mode is kept.
bool CopyFile(const std::string& from, const std::string& to) {
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  int out = fstat(in, &st) == 0 ? open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777) : -1;
  bool ok = out >= 0;
  char buffer[1 << 16];
  while (ok) {
    ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      ok = w > 0;
      done += w > 0 ? w : 0;
    }
  }
  int err = errno;
  if (out >= 0 && close(out) != 0) ok = false, err = errno;
  close(in);
  if (!ok && out >= 0) unlink(to.c_str());
  errno = err;
  return ok;
}

}  // namespace

OutputGuard::~OutputGuard() {
  if (!done_) Restore();
}

bool OutputGuard::KeepOne(const std::string& path, std::string* error) {
  Entry e{path, std::string()};
  if (Exists(path)) {
    e.kept = FolderOf(path) + "/.tessella-kept-" + std::to_string(getpid()) + "-" + std::to_string(gKept++);
    if (link(path.c_str(), e.kept.c_str()) != 0 && !CopyFile(path, e.kept)) {
      *error = "cannot keep the older '" + path + "' aside while converting: " + SysErrText(errno);
      return false;
    }
  }
  entries_.push_back(e);
  return true;
}

bool OutputGuard::Keep(const std::string& path, bool pages, std::string* error) {
  if (!KeepOne(path, error)) return false;
  if (!pages) return true;
  // The pages a run may number, and one past the last that exists: a new
  // run with more pages writes past the older ones.
  for (int page = 2;; ++page) {
    std::string name = PageName(path, page);
    bool existed = Exists(name);
    if (!KeepOne(name, error)) return false;
    if (!existed) {
      series_.push_back({path, page + 1});
      break;
    }
  }
  return true;
}

void OutputGuard::Commit() {
  for (const Entry& e : entries_)
    if (!e.kept.empty()) unlink(e.kept.c_str());
  entries_.clear();
  series_.clear();
  done_ = true;
}

void OutputGuard::Restore(const std::string& spare) {
  for (const Entry& e : entries_) {
    if (!spare.empty() && e.path == spare) {
      if (!e.kept.empty()) unlink(e.kept.c_str());
    } else if (!e.kept.empty()) {
      // Renaming a link onto another link of the same file does nothing:
      // the output was never replaced.
      struct stat a, b;
      if (stat(e.kept.c_str(), &a) == 0 && stat(e.path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
          a.st_ino == b.st_ino)
        unlink(e.kept.c_str());
      else
        std::rename(e.kept.c_str(), e.path.c_str());
    } else {
      unlink(e.path.c_str());
    }
  }
  // Pages past the ones there were before are new.
  for (const Series& s : series_)
    for (int page = s.next; Exists(PageName(s.path, page)); ++page) unlink(PageName(s.path, page).c_str());
  entries_.clear();
  series_.clear();
  done_ = true;
}

}  // namespace tsl
