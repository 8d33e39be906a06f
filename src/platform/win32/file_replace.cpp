#include "platform/file_replace.h"

#include <io.h>

#include <cerrno>
#include <vector>

#include "platform/windows_lean.h"

namespace tsl {

namespace {
int ErrnoFor(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    default: return EIO;
  }
}

// The file a symbolic link (a reparse point) finally names, without the
// "\\?\" prefix; `path` itself when it cannot be told.
std::string FinalPath(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return path;
  std::vector<char> buf(MAX_PATH + 8);
  DWORD n = GetFinalPathNameByHandleA(h, buf.data(), static_cast<DWORD>(buf.size()), FILE_NAME_NORMALIZED);
  if (n >= buf.size()) {
    buf.resize(n + 1);
    n = GetFinalPathNameByHandleA(h, buf.data(), static_cast<DWORD>(buf.size()), FILE_NAME_NORMALIZED);
  }
  CloseHandle(h);
  if (n == 0 || n >= buf.size()) return path;
  std::string final(buf.data(), n);
  if (final.compare(0, 4, "\\\\?\\") == 0) final.erase(0, 4);
  return final;
}
}  // namespace

bool ResolveWriteTarget(const std::string& path, WriteTarget* target) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  target->path = path;
  target->mode = 0;
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) {
      target->exists = false;
      return true;
    }
    errno = ErrnoFor(code);
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    target->path = FinalPath(path);
    attributes = GetFileAttributesA(target->path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      target->exists = false;
      return true;
    }
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    errno = EISDIR;
    return false;
  }
  // MoveFileEx would refuse a read-only file too; say so before writing.
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    errno = EACCES;
    return false;
  }
  target->exists = true;
  return true;
}

bool FinishFile(int fd, const WriteTarget&) { return _commit(fd) == 0; }

void StartWriteback(int) {}

// The C library's rename does not replace an existing file here, and
// removing the older one first would lose it if the rename then failed.
bool ReplaceFileWith(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  errno = ErrnoFor(GetLastError());
  return false;
}

// MOVEFILE_WRITE_THROUGH has made the rename durable already.
void SyncFolderOf(const std::string&) {}

}  // namespace tsl
