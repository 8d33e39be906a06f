// The one writer of every file the program writes: metafiles, logs, EMZ,
// colour files, images, vector exports, settings files. Its guarantees:
//
// - All or nothing: the bytes go to a temporary file beside the target and
//   take the target's name in one rename only when everything was written
//   and made durable. A failure at any step (create, write, flush to disk,
//   close, rename) leaves the older file under the name as it was, and no
//   temporary file behind.
// - Durable: the file's content is flushed to the disk before the rename,
//   and the folder after it (POSIX), so a crash right after Commit keeps the
//   new file, and one before it the old.
// - Links are followed: a symbolic link at the name stays a link, and the
//   file it names is replaced (or created).
// - Modes are kept: a replaced file keeps its permission bits; a new one
//   gets 0666 less the umask.
// - Read-only files are kept: a file nobody may write (or we may not) is
//   refused with EACCES before anything is written, on every system (as
//   Windows refuses to replace one).
// - On Windows the rename is MoveFileEx with REPLACE_EXISTING and
//   WRITE_THROUGH: one step, never a delete first.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_replace.h"

namespace tsl {

class AtomicFile {
 public:
  AtomicFile();
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // False with errno set when the target cannot be written (see above) or
  // the temporary file cannot be created.
  bool Open(const std::string& path);
  FILE* Stream() const { return file_; }
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }
  const std::string& TempPath() const { return temp_; }
  // Flushes, makes durable, closes and renames into place. False (errno
  // set, nothing left under the temporary name, an older file under the
  // final name intact) when any step failed.
  bool Commit();
  // Closes and removes the temporary file.
  void Discard();

 private:
  struct WriteStream;  // what lies under the stream (our own writes on glibc)
  FILE* file_ = nullptr;
  int fd_ = -1;
  std::unique_ptr<WriteStream> stream_;
  std::string path_, temp_;
  WriteTarget target_;
};

// Writes `bytes` as the whole of `path` through AtomicFile. False with the
// system's text and the path in *systemText.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* systemText);

// A name beside `path` that no other writer uses, for a temporary file.
std::string TemporaryNameFor(const std::string& path);

}  // namespace tsl
