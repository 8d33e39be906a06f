// A temporary folder for a test, removed with everything in it at the end.
#pragma once
#include <string>
#include <vector>

namespace tsl::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes `content` into `name` and returns the full path.
  std::string Write(const std::string& name, const std::string& content) const;
  // The names in the folder, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
// A log file in the CR LF form the expectations are written in, whatever
// line end the system's files have.
std::string ReadLogFile(const std::string& path);
// The names in any folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);
bool FileExists(const std::string& path);


}  // namespace tsl::test
