#include "output/metafile_load_stream.h"

#include <zlib.h>

#include <cstdio>

#include "common/notify.h"
#include "output/emz.h"
#include "output/metafile_kind.h"
#include "output/metafile_load.h"
#include "platform/debug_output.h"

namespace tsl {

namespace {

void Set(std::string* error, const std::string& text) {
  if (error) *error = text;
}

class FileSource : public gdi::ByteSource {
 public:
  explicit FileSource(FILE* f) : f_(f) {}
  ~FileSource() override { std::fclose(f_); }
  size_t Read(uint8_t* buf, size_t n, std::string* error) override {
    size_t got = std::fread(buf, 1, n, f_);
    if (got < n && std::ferror(f_)) Set(error, GetSysErr());
    return got;
  }
  bool Rewind() { return std::fseek(f_, 0, SEEK_SET) == 0; }

 private:
  FILE* f_;
};

// gzip members one after the other, as GunzipBytes takes them.
class GzipSource : public gdi::ByteSource {
 public:
  explicit GzipSource(gzFile f) : f_(f) {}
  ~GzipSource() override { gzclose_r(f_); }
  size_t Read(uint8_t* buf, size_t n, std::string* error) override {
    size_t total = 0;
    while (total < n) {
      unsigned ask = n - total > (1u << 30) ? (1u << 30) : static_cast<unsigned>(n - total);
      int got = gzread(f_, buf + total, ask);
      if (got <= 0) {
        int code = Z_OK;
        const char* text = gzerror(f_, &code);
        if (got < 0 || code != Z_OK) {
          if (code == Z_BUF_ERROR)
            Set(error, "the compressed data are truncated");
          else
            Set(error, std::string("the compressed data are damaged") + (text && *text ? std::string(": ") + text : ""));
        }
        break;
      }
      total += static_cast<size_t>(got);
    }
    return total;
  }
  bool Rewind() { return gzrewind(f_) == 0; }

 private:
  gzFile f_;
};

// The first bytes, enough to tell the kind, then back to the start.
template <class Source>
size_t Peek(Source* s, uint8_t (&head)[64], std::string* error) {
  size_t n = s->Read(head, sizeof head, error);
  if (!s->Rewind() && error->empty()) *error = GetSysErr();
  return n;
}

}  // namespace

MetafileStream::MetafileStream() = default;
MetafileStream::~MetafileStream() = default;

bool MetafileStream::Open(const std::string& path, std::string* error) {
  reader_.reset();
  source_.reset();
  converted_.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    DebugOutput("LMF: MapFileReadOnly failed\r\n");
    Set(error, GetSysErr());
    return false;
  }
  auto file = std::make_unique<FileSource>(f);
  uint8_t head[64];
  std::string why;
  size_t n = Peek(file.get(), head, &why);
  if (!why.empty() || n == 0) {
    DebugOutput("LMF: MapFileReadOnly failed\r\n");
    Set(error, why.empty() ? "the file is empty" : why);
    return false;
  }
  if (IsGzip(head, n)) {
    file.reset();
    gzFile gz = gzopen(path.c_str(), "rb");
    if (!gz) {
      DebugOutput("LMF: UncompressEMF failed\r\n");
      Set(error, GetSysErr());
      return false;
    }
    auto zipped = std::make_unique<GzipSource>(gz);
    n = Peek(zipped.get(), head, &why);
    if (!why.empty() || n == 0) {
      DebugOutput("LMF: UncompressEMF failed\r\n");
      Set(error, why.empty() ? "the compressed file holds nothing" : why);
      return false;
    }
    source_ = std::move(zipped);
  } else {
    source_ = std::move(file);
  }
  if (RecogniseMetafile(head, n) != MetafileKind::Emf) {
    // Windows metafiles are converted whole; LoadMetaFile says what fails.
    source_.reset();
    if (!LoadMetaFile(path, &converted_, error)) return false;
    source_ = std::make_unique<gdi::MemorySource>(converted_.data(), converted_.size());
  }
  return Start("damaged enhanced metafile: ", error);
}

bool MetafileStream::OpenBytes(const uint8_t* data, size_t size, std::string* error) {
  reader_.reset();
  converted_.clear();
  source_ = std::make_unique<gdi::MemorySource>(data, size);
  return Start("", error);
}

bool MetafileStream::Start(const char* prefix, std::string* error) {
  reader_ = std::make_unique<gdi::EmfStreamReader>(source_.get());
  std::string why;
  if (!reader_->ReadHeader(&why)) {
    DebugOutput("LMF: GetEnhMetaFile failed\r\n");
    Set(error, prefix + why);
    return false;
  }
  return true;
}

}  // namespace tsl
