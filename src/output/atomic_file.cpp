#include "output/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace tsl {

namespace {
std::string TempName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return path + ".tmp" + std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ull) + "-" +
         std::to_string(counter++);
}
}  // namespace

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open(const std::string& path) {
  Discard();
  path_ = path;
  temp_ = TempName(path);
  file_ = std::fopen(temp_.c_str(), "wb");
  return file_ != nullptr;
}

bool AtomicFile::Commit() {
  if (!file_) return false;
  bool ok = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  int saved = errno;
  ok = std::fclose(file_) == 0 && ok;
  if (!ok && errno == 0) errno = saved ? saved : EIO;
  file_ = nullptr;
  if (ok) {
    std::error_code ec;
    std::filesystem::rename(temp_, path_, ec);
    if (ec) {
      errno = ec.value();
      ok = false;
    }
  }
  if (!ok) {
    int e = errno;
    std::remove(temp_.c_str());
    errno = e;
  }
  temp_.clear();
  return ok;
}

void AtomicFile::Discard() {
  if (file_) {
    int e = errno;
    std::fclose(file_);
    std::remove(temp_.c_str());
    errno = e;
    file_ = nullptr;
  }
  temp_.clear();
}

}  // namespace tsl
