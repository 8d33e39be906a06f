// Standard streams and the run's private scratch folder: outputs written
// to standard output, standard error or a device, and the check that
// what was printed on standard output arrived.
#pragma once
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace tsl {

// A folder of our own under $TMPDIR for the copies of piped plots and the
// logs nobody keeps; removed with its contents at the end.
class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // A new name in the folder (made on first use): `hint` itself the first
  // time, so that a piped plot keeps a plain name in what it writes.
  // Empty with *error when the folder cannot be made.
  std::string NewName(const std::string& hint, std::string* error);
  void Remove();

 private:
  std::mutex mutex_;
  std::string path_;
  std::set<std::string> used_;
  unsigned counter_ = 0;
};

// Writes `bytes` to `target`: "-" is standard output, anything else a
// device or pipe opened for writing as it is (never created or replaced).
bool WriteToStream(const std::string& target, const uint8_t* data, size_t size, std::string* error);
// Copies a file's bytes to the stream (see WriteToStream); "-" for the
// target is standard output, "-2" standard error.
bool CopyFileToStream(const std::string& file, const std::string& target, std::string* error);

// Flushes and closes standard output. False, after a message on standard
// error, when anything printed there was lost (a full disk, a closed pipe).
bool CloseStandardOutput();

}  // namespace tsl
