// A file written under a temporary name beside its final one and renamed
// into place only when complete, so that an interrupted or failed write
// never leaves a truncated file under the final name, and an existing file
// is replaced only by a complete one.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

namespace tsl {

class AtomicFile {
 public:
  AtomicFile();
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // False with errno set when the temporary file cannot be created.
  bool Open(const std::string& path);
  FILE* Stream() const { return file_; }
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }
  const std::string& TempPath() const { return temp_; }
  // Flushes, closes and renames into place. False (errno set, nothing left
  // under the temporary name, an older file under the final name intact)
  // when any write failed.
  bool Commit();
  // Closes and removes the temporary file.
  void Discard();

 private:
  struct FaultStream;  // a stream whose writes a test hook may fail
  FILE* file_ = nullptr;
  std::unique_ptr<FaultStream> faults_;
  std::string path_, temp_;
};

// A name beside `path` that no other writer uses, for a temporary file.
std::string TemporaryNameFor(const std::string& path);

}  // namespace tsl
