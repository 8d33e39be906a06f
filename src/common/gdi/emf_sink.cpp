#include "common/gdi/emf_sink.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace gdi {

std::string SystemErrorText(int err) { return std::error_code(err, std::generic_category()).message(); }

namespace {

class MemorySink : public RecordSink {
 public:
  bool Write(const uint8_t* p, size_t n) override {
    bytes_.insert(bytes_.end(), p, p + n);
    return true;
  }
  bool Finish(const std::vector<uint8_t>& header, std::string* error) override {
    if (header.size() > bytes_.size()) {
      if (error) *error = "The metafile header does not fit.";
      return false;
    }
    std::memcpy(bytes_.data(), header.data(), header.size());
    return true;
  }
  void Abandon() override { std::vector<uint8_t>().swap(bytes_); }
  const std::vector<uint8_t>& Bytes() const override { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

int OpenExclusive(const std::string& path) {
#ifdef _WIN32
  return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

std::FILE* FromDescriptor(int fd) {
#ifdef _WIN32
  std::FILE* f = _fdopen(fd, "wb");
  if (!f) _close(fd);
#else
  std::FILE* f = fdopen(fd, "wb");
  if (!f) close(fd);
#endif
  return f;
}

long ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<long>(getpid());
#endif
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
#ifdef _WIN32
  // The C library's rename does not replace an existing file on Windows.
  const int err = errno;
  if (std::remove(to.c_str()) == 0) return std::rename(from.c_str(), to.c_str()) == 0;
  errno = err;
#endif
  return false;
}

class FileSink : public RecordSink {
 public:
  ~FileSink() override { Abandon(); }

  bool Open(const std::string& path, std::string* error) {
    static std::atomic<unsigned> counter{0};
    final_ = path;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      temp_ = path + "." + std::to_string(ProcessId()) + "-" + std::to_string(counter++) + ".tmp";
      fd = OpenExclusive(temp_);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      if (error) *error = SystemErrorText(errno);
      temp_.clear();
      return false;
    }
    file_ = FromDescriptor(fd);
    if (!file_) {
      if (error) *error = SystemErrorText(errno);
      std::remove(temp_.c_str());
      temp_.clear();
      return false;
    }
    buffer_.resize(kBuffer);
    return true;
  }

  bool Write(const uint8_t* p, size_t n) override {
    if (failed_) return false;
    if (n > kBuffer - used_ && !Flush()) return false;
    if (n >= kBuffer) return Put(p, n);
    std::memcpy(buffer_.data() + used_, p, n);
    used_ += n;
    return true;
  }

  bool Finish(const std::vector<uint8_t>& header, std::string* error) override {
    if (!file_) {
      if (error) *error = error_.empty() ? SystemErrorText(EBADF) : error_;
      return false;
    }
    bool ok = Flush() && std::fseek(file_, 0, SEEK_SET) == 0 && Put(header.data(), header.size()) &&
              std::fflush(file_) == 0;
    if (!ok && !failed_) Fail(errno);
    if (std::fclose(file_) != 0 && ok) {
      ok = false;
      Fail(errno);
    }
    file_ = nullptr;
    if (ok && !ReplaceFile(temp_, final_)) {
      ok = false;
      Fail(errno);
    }
    if (!ok) {
      if (error) *error = error_;
      Abandon();
      return false;
    }
    temp_.clear();
    return true;
  }

  void Abandon() override {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty()) std::remove(temp_.c_str());
    temp_.clear();
    failed_ = true;
  }

  const std::vector<uint8_t>& Bytes() const override { return none_; }

 private:
  static constexpr size_t kBuffer = 64 * 1024;

  void Fail(int err) {
    failed_ = true;
    error_ = SystemErrorText(err ? err : EIO);
  }
  bool Put(const uint8_t* p, size_t n) {
    if (failed_ || !file_) return false;
    errno = 0;
    if (std::fwrite(p, 1, n, file_) != n) {
      Fail(errno);
      return false;
    }
    return true;
  }
  bool Flush() {
    if (used_ == 0) return !failed_;
    const bool ok = Put(buffer_.data(), used_);
    used_ = 0;
    return ok;
  }

  std::string final_, temp_, error_;
  std::FILE* file_ = nullptr;
  std::vector<uint8_t> buffer_;  // kBuffer bytes of room, used_ of them filled
  size_t used_ = 0;
  const std::vector<uint8_t> none_{};
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<RecordSink> MakeMemorySink() { return std::make_unique<MemorySink>(); }

std::unique_ptr<RecordSink> MakeFileSink(const std::string& path, std::string* error) {
  auto sink = std::make_unique<FileSink>();
  if (!sink->Open(path, error)) return nullptr;
  return sink;
}

}  // namespace gdi
