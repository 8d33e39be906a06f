#include "output/emz.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "common/memory.h"
#include "common/names.h"
#include "common/notify.h"
#include "common/atomic_file.h"
#include "common/version.h"
#include "platform/debug_output.h"

namespace tsl {

const char kEmzComment[] = "Created by Tessella " TESSELLA_VERSION;

namespace {
constexpr size_t kCompressBuffer = 8192;
constexpr size_t kDecompressBuffer = 4096;
constexpr int kOsCode = 11;
}  // namespace

struct GzipWriter::State {
  AtomicFile file;
  z_stream strm{};
  gz_header head{};
  std::string name, comment;  // the header points into these
  bool open = false;
  bool deflating = false;
  bool started = false;  // a byte went in: too late for a header
  int err = Z_OK;
  std::string errText;
  unsigned char out[kCompressBuffer];
};

GzipWriter::GzipWriter() : s_(std::make_unique<State>()) {}

GzipWriter::~GzipWriter() {
  if (s_->deflating) deflateEnd(&s_->strm);
}

bool GzipWriter::Open(const std::string& path) {
  if (!s_->file.Open(path)) return false;
  s_->open = true;
  return true;
}

bool GzipWriter::IsWriting() const { return s_->open; }
bool GzipWriter::HasError() const { return s_->err != Z_OK; }
const char* GzipWriter::ErrorText() const { return s_->errText.empty() ? "" : s_->errText.c_str(); }

bool GzipWriter::Init() {
  if (s_->deflating) return true;
  // windowBits 15 + 16 asks zlib for a gzip wrapper around the deflate data.
  int rc = deflateInit2(&s_->strm, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) {
    s_->err = rc;
    s_->errText = s_->strm.msg ? s_->strm.msg : "deflateInit2 failed";
    return false;
  }
  s_->deflating = true;
  return true;
}

bool GzipWriter::Drain(int flush) {
  for (;;) {
    s_->strm.next_out = s_->out;
    s_->strm.avail_out = sizeof s_->out;
    int rc = deflate(&s_->strm, flush);
    if (rc == Z_STREAM_ERROR) {
      s_->err = rc;
      s_->errText = "deflate failed";
      return false;
    }
    size_t have = sizeof s_->out - s_->strm.avail_out;
    if (have && std::fwrite(s_->out, 1, have, s_->file.Stream()) != have) {
      s_->err = Z_ERRNO;
      s_->errText = SysErrText(errno);
      return false;
    }
    if (flush == Z_FINISH ? rc == Z_STREAM_END : s_->strm.avail_out != 0) return true;
  }
}

size_t GzipWriter::Write(const void* data, size_t n) {
  if (!s_->open || HasError() || !Init()) return 0;
  s_->started = true;
  size_t done = 0;
  const unsigned char* p = static_cast<const unsigned char*>(data);
  while (done < n) {
    uInt chunk = static_cast<uInt>(n - done > (1u << 30) ? (1u << 30) : n - done);
    s_->strm.next_in = const_cast<unsigned char*>(p + done);
    s_->strm.avail_in = chunk;
    if (!Drain(Z_NO_FLUSH)) return done;
    done += chunk;
  }
  return done;
}

int GzipWriter::Close() {
  if (!s_->open) return Z_STREAM_ERROR;
  s_->open = false;
  bool ok = !HasError() && Init();
  if (ok) {
    s_->strm.next_in = nullptr;
    s_->strm.avail_in = 0;
    ok = Drain(Z_FINISH);
  }
  if (s_->deflating) {
    deflateEnd(&s_->strm);
    s_->deflating = false;
  }
  if (!ok) {
    s_->file.Discard();
    return s_->err != Z_OK ? s_->err : Z_ERRNO;
  }
  if (!s_->file.Commit()) {
    s_->err = Z_ERRNO;
    s_->errText = SysErrText(errno);
    return Z_ERRNO;
  }
  return Z_OK;
}

int gzipheader(GzipWriter& file, const char* name, int64_t time, const char* comment) {
  GzipWriter::State& s = *file.s_;
  if (!s.open || s.err != Z_OK) return 0;
  if (s.started) return Z_STREAM_ERROR;  // the header is already out
  if (!file.Init()) return s.err;
  s.name = name ? name : "";
  s.comment = comment ? comment : "";
  std::memset(&s.head, 0, sizeof s.head);
  s.head.time = static_cast<uLong>(static_cast<uint32_t>(time));
  s.head.os = kOsCode;
  s.head.name = reinterpret_cast<Bytef*>(&s.name[0]);
  s.head.comment = s.comment.empty() ? Z_NULL : reinterpret_cast<Bytef*>(&s.comment[0]);
  int rc = deflateSetHeader(&s.strm, &s.head);
  if (rc != Z_OK) {
    s.err = rc;
    s.errText = "deflateSetHeader failed";
  }
  return rc;
}

int64_t CompressEMF(const std::string& emzPath, const std::string& emfPath, const Clock& clock) {
  int64_t now = clock.Now();
  std::vector<unsigned char> buffer;
  if (!TryResize(buffer, kCompressBuffer)) {
    errno = ENOMEM;
    return 0;
  }
  errno = 0;
  GzipWriter emz;
  if (!emz.Open(emzPath)) return 0;
  std::unique_ptr<FILE, int (*)(FILE*)> emf(std::fopen(emfPath.c_str(), "rb"), std::fclose);
  if (!emf) return 0;  // the writer removes its temporary file

  std::string name = ShortName(emfPath);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (gzipheader(emz, name.c_str(), now, kEmzComment) != 0) DebugOutput("gzipheader failed\n");

  int64_t total = 0;
  bool failed = false;
  for (;;) {
    size_t n = std::fread(buffer.data(), 1, kCompressBuffer, emf.get());
    if (n == 0) {
      if (std::ferror(emf.get())) {
        DebugOutput("fread error\n");
        failed = true;
      }
      break;
    }
    if (emz.Write(buffer.data(), n) < n) {
      DebugOutput((std::string(emz.ErrorText()) + "\n").c_str());
      failed = true;
      break;
    }
    total += static_cast<int64_t>(n);
  }
  emf.reset();
  int saved = errno;
  if (failed) {
    // Nothing half-written goes under the EMZ's name.
    emz.Close();
    errno = saved ? saved : EIO;
    return 0;
  }
  if (emz.Close() != 0) {
    DebugOutput("gzclose failed\n");
    return 0;
  }
  if (total == 0) errno = saved;
  return total;
}

int64_t UncompressEMF(const std::string& emfPath, const std::string& emzPath) {
  gzFile in = gzopen(emzPath.c_str(), "rb");
  if (!in) return 0;
  AtomicFile out;
  if (!out.Open(emfPath)) {
    gzclose_r(in);
    return 0;
  }
  unsigned char buffer[kDecompressBuffer];
  int64_t total = 0;
  bool failed = false;
  for (;;) {
    int n = gzread(in, buffer, sizeof buffer);
    if (n < 0) {
      int code = 0;
      DebugOutput((std::string(gzerror(in, &code)) + "\n").c_str());
      failed = true;
      break;
    }
    if (n == 0) break;
    if (std::fwrite(buffer, 1, static_cast<size_t>(n), out.Stream()) != static_cast<size_t>(n)) {
      DebugOutput("fwrite\n");
      failed = true;
      break;
    }
    total += n;
  }
  if (gzclose_r(in) != Z_OK) {
    DebugOutput("failed gzclose\n");
    failed = true;
  }
  // A damaged EMZ must not leave a truncated EMF that looks complete.
  if (failed) {
    out.Discard();
    return 0;
  }
  if (!out.Commit()) return 0;
  return total;
}

bool IsGzip(const uint8_t* data, size_t size) {
  return size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
}

bool GunzipBytes(const uint8_t* data, size_t size, size_t maxOut, std::vector<uint8_t>* out,
                 std::string* error) {
  out->clear();
  z_stream strm{};
  if (inflateInit2(&strm, 15 + 16) != Z_OK) {
    *error = "out of memory";
    return false;
  }
  std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&strm, inflateEnd);
  unsigned char chunk[16384];
  size_t pos = 0;
  for (;;) {
    size_t avail = size - pos;
    strm.next_in = const_cast<uint8_t*>(data + pos);
    strm.avail_in = static_cast<uInt>(avail > (1u << 30) ? (1u << 30) : avail);
    uInt given = strm.avail_in;
    strm.next_out = chunk;
    strm.avail_out = sizeof chunk;
    int rc = inflate(&strm, Z_NO_FLUSH);
    pos += given - strm.avail_in;
    size_t have = sizeof chunk - strm.avail_out;
    if (have > maxOut - out->size()) {
      *error = Format("the decompressed data exceed %zu bytes", maxOut);
      out->clear();
      return false;
    }
    if (out->size() + have > out->capacity()) {
      // Grow by doubling, but never beyond the cap.
      size_t want = std::max(out->capacity() * 2, out->size() + have);
      out->reserve(std::min(want, maxOut));
    }
    out->insert(out->end(), chunk, chunk + have);
    if (rc == Z_STREAM_END) {
      // Another member may follow (gzip allows concatenation).
      if (pos + 2 <= size && data[pos] == 0x1F && data[pos + 1] == 0x8B) {
        inflateReset(&strm);
        continue;
      }
      return true;
    }
    if (rc == Z_OK) continue;
    if (rc == Z_BUF_ERROR && pos >= size) {
      *error = "the compressed data are truncated";
    } else {
      *error = std::string("the compressed data are damaged") + (strm.msg ? std::string(": ") + strm.msg : "");
    }
    out->clear();
    return false;
  }
}

}  // namespace tsl
