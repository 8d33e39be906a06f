// What the one atomic writer (common/atomic_file.h) needs of the system to
// put a finished file in place of the final one in one step, durably, so
// that a failure or a crash leaves the older file as it was.
#pragma once
#include <string>

namespace tsl {

// The file that writing `path` replaces or creates: a symbolic link is
// followed to the file it names (also when that does not exist yet), so
// that the link stays a link.
struct WriteTarget {
  std::string path;     // the file to replace or create
  bool exists = false;  // it exists now
  unsigned mode = 0;    // its permission bits when it exists (POSIX)
};

// Resolves `path`. False with errno set when it cannot be written: EACCES
// for a file that is read-only (no write permission for anybody, or none
// for us), EISDIR for a folder, ELOOP for a loop of links.
bool ResolveWriteTarget(const std::string& path, WriteTarget* target);

// Gives the finished temporary file behind `fd` the permission bits of the
// file it replaces (nothing for a new file, which keeps 0666 less the
// umask), and makes its content durable (fsync; FlushFileBuffers on
// Windows). False with errno set.
bool FinishFile(int fd, const WriteTarget& target);

// Asks the system to start writing what `fd` holds to the disk, without
// waiting (Linux; nothing elsewhere): a large file is then mostly on the
// disk by the time FinishFile waits for it.
void StartWriteback(int fd);

// Renames `from` to `to`, replacing `to` if it exists. False with errno set
// when it could not; `to` is then unchanged.
bool ReplaceFileWith(const std::string& from, const std::string& to);

// Makes a rename in the folder of `path` durable (fsync of the folder on
// POSIX; MoveFileEx's write-through does it on Windows). A failure here
// loses nothing and is not reported.
void SyncFolderOf(const std::string& path);

}  // namespace tsl
