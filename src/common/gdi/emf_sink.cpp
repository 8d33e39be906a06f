#include "common/gdi/emf_sink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/atomic_file.h"
#include "common/gdi/block_writer.h"

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
  std::string ErrorText() const override { return std::string(); }
  void Abandon() override { std::vector<uint8_t>().swap(bytes_); }
  const std::vector<uint8_t>& Bytes() const override { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class FileSink : public RecordSink {
 public:
  ~FileSink() override { Abandon(); }

  bool Open(const std::string& path, std::string* error) {
    if (!file_.Open(path)) {
      if (error) *error = SystemErrorText(errno);
      return false;
    }
    // The records come in blocks already: a second buffer in the stream
    // would only split each block into two system writes.
    std::setvbuf(file_.Stream(), nullptr, _IONBF, 0);
    buffer_.resize(kBuffer);
    writer_ = std::make_unique<BlockWriter>(file_.Stream());
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
    if (!file_.IsOpen()) {
      if (error) *error = error_.empty() ? SystemErrorText(EBADF) : error_;
      return false;
    }
    bool ok = Flush() && std::fseek(file_.Stream(), 0, SEEK_SET) == 0 && Put(header.data(), header.size());
    if (!ok && !failed_) Fail(errno);
    writer_->Stop();
    if (ok && !file_.Commit()) {
      ok = false;
      Fail(errno);
    }
    if (!ok) {
      if (error) *error = error_;
      Abandon();
      return false;
    }
    return true;
  }

  // A whole block goes to the writer's thread; what came before it in
  // small writes goes first.
  bool WriteBlock(std::vector<uint8_t>& block, size_t n) override {
    if (failed_ || !writer_) return false;
    if (!Flush()) return false;
    if (!writer_->Hand(block, n)) {
      Fail(writer_->Error());
      return false;
    }
    return true;
  }

  std::string ErrorText() const override { return error_; }
  void Abandon() override {
    // The thread lets go of the stream before it closes.
    if (writer_) writer_->Stop();
    file_.Discard();
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
    if (failed_ || !file_.IsOpen()) return false;
    if (!Settle()) return false;
    errno = 0;
    if (std::fwrite(p, 1, n, file_.Stream()) != n) {
      Fail(errno);
      return false;
    }
    return true;
  }
  // Blocks handed to the writer are written first, in their order.
  bool Settle() {
    if (failed_) return false;
    if (writer_ && !writer_->Wait()) {
      Fail(writer_->Error());
      return false;
    }
    return true;
  }
  bool Flush() {
    if (used_ == 0) return Settle();
    const bool ok = Put(buffer_.data(), used_);
    used_ = 0;
    return ok;
  }

  tsl::AtomicFile file_;
  std::unique_ptr<BlockWriter> writer_;  // declared after file_: stopped before it closes
  std::string error_;
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
