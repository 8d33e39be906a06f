// A file written under a temporary name beside its final path and renamed
// into place only when everything was written, so that no truncated file
// ever stands under the final name and a failed write keeps the old one.
#pragma once
#include <cstdio>
#include <string>

namespace tsl {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file. False with errno set when it cannot be made.
  bool Open(const std::string& path);
  FILE* File() const { return file_; }
  // Flushes, closes and renames into place. False (errno set) when any write
  // failed or the rename did; the temporary file is then removed.
  bool Commit();
  // Closes and removes the temporary file.
  void Discard();

 private:
  FILE* file_ = nullptr;
  std::string path_;
  std::string temp_;
};

}  // namespace tsl
