#include "update/http_client.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <new>

#include "common/notify.h"

namespace tsl {

namespace {

constexpr size_t kHeaderLine = 250;
constexpr size_t kChunkLine = 120;
// Headers beyond this are no reply of a version server; stop reading.
constexpr size_t kMaxHeaderBytes = 64 * 1024;

// Clears the record and receives into it what the server sends next, within
// the stream's bounds. False once the stream has ended.
bool Refill(ReplyStream& s, RecvRecord* rec) {
  std::memset(rec, 0, sizeof *rec);
  if (s.ended) return false;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(s.deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) {
    s.ended = s.overtime = true;
    s.net.failure = NetFailure::ReceiveTimeout;
    return false;
  }
  int wait = static_cast<int>(std::min<long long>(s.receiveMs, left.count()));
  long n = s.connection.Receive(rec->data, sizeof rec->data, wait, &s.net);
  if (n <= 0) {
    s.ended = true;
    s.overtime = s.net.failure == NetFailure::ReceiveTimeout && wait < s.receiveMs;
    return false;
  }
  rec->count = static_cast<uint32_t>(n);
  s.received += static_cast<size_t>(n);
  return true;
}

bool Available(ReplyStream& s, RecvRecord* rec) { return rec->pos < rec->count || Refill(s, rec); }

// A line as recv_getline reads it, but the rest of a line too long for
// `size` is read and dropped, so that its tail is not taken for a line of
// its own. `whole` tells whether the line ended with its line feed.
size_t ReadLine(ReplyStream& s, RecvRecord* rec, char* line, size_t size, bool* whole) {
  size_t n = recv_getline(s, rec, line, size);
  *whole = n > 0 && line[n - 1] == '\n';
  if (*whole || n + 1 < size) return n;
  while (Available(s, rec)) {
    if (rec->data[rec->pos++] == '\n') {
      *whole = true;
      break;
    }
  }
  return n;
}

bool SameWord(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// The status line's second token, read as a decimal number.
int StatusCode(const char* line) {
  const char* p = std::strchr(line, ' ');
  if (!p) return 0;
  while (*p == ' ') ++p;
  int code = 0;
  for (int digits = 0; digits < 9 && *p >= '0' && *p <= '9'; ++digits) code = code * 10 + (*p++ - '0');
  return code;
}

// The header's name is the text before the first space or colon, its value
// the rest. Header names are not case-sensitive in HTTP, and a value may be
// written with or without blanks around it.
void ReadHeaderLine(const char* line, bool* chunked) {
  const char* sep = std::strpbrk(line, " :");
  if (!sep) return;  // a header without a value
  std::string name(line, static_cast<size_t>(sep - line));
  std::string value(sep + 1);
  value = value.substr(0, value.find('\r'));
  if (SameWord(name, "Transfer-Encoding")) *chunked = SameWord(Trim(value), "chunked");
}

// A chunk's size line: hexadecimal digits after optional blanks.
size_t ChunkSize(const char* line) {
  while (*line == ' ' || *line == '\t') ++line;
  size_t size = 0;
  for (int digits = 0; digits < 16 && std::isxdigit(static_cast<unsigned char>(*line)); ++digits, ++line) {
    int c = std::tolower(static_cast<unsigned char>(*line));
    size_t d = static_cast<size_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    if (size > (static_cast<size_t>(-1) >> 4)) return static_cast<size_t>(-1);
    size = size * 16 + d;
  }
  return size;
}

// Steps over the "\r\n" that ends a chunk's data.
void SkipChunkEnd(ReplyStream& s, RecvRecord* rec) {
  if (Available(s, rec) && rec->data[rec->pos] == '\r') ++rec->pos;
  if (Available(s, rec) && rec->data[rec->pos] == '\n') ++rec->pos;
}

// The chunks joined in order, up to `capacity` bytes. False when the stream
// ended before the body did.
bool ReadChunkedBody(ReplyStream& s, RecvRecord* rec, char* body, size_t capacity, size_t* used) {
  char line[kChunkLine];
  while (*used < capacity) {
    bool whole;
    size_t n = ReadLine(s, rec, line, sizeof line, &whole);
    if (!whole) return false;
    if (n <= 2) return true;  // the blank line after the last chunk
    size_t size = ChunkSize(line);
    if (size == 0) continue;  // the last chunk: its blank line follows
    size_t want = std::min(size, capacity - *used);
    size_t got = recv_getchunk(s, rec, body + *used, want, want);
    *used += got;
    if (got < want) return false;
    if (size > want) return true;  // full: the rest is not needed
    SkipChunkEnd(s, rec);
  }
  return true;
}

}  // namespace

size_t recv_getline(ReplyStream& stream, RecvRecord* rec, char* line, size_t size) {
  if (size == 0) return 0;
  size_t n = 0;
  while (n + 1 < size && Available(stream, rec)) {
    char c = rec->data[rec->pos++];
    line[n++] = c;
    if (c == '\n') break;
  }
  line[n] = '\0';
  return n;
}

size_t recv_getchunk(ReplyStream& stream, RecvRecord* rec, char* dest, size_t destSize, size_t count) {
  size_t want = std::min(count, destSize), done = 0;
  while (done < want && Available(stream, rec)) {
    size_t piece = std::min<size_t>(want - done, rec->count - rec->pos);
    std::memcpy(dest + done, rec->data + rec->pos, piece);
    rec->pos += static_cast<uint32_t>(piece);
    done += piece;
  }
  return done;
}

bool recv_header(ReplyStream& stream, RecvRecord* rec, int* status, bool* chunked) {
  *status = 0;
  *chunked = false;
  char line[kHeaderLine];
  bool first = true;
  size_t bytes = 0;
  for (;;) {
    bool whole;
    size_t n = ReadLine(stream, rec, line, sizeof line, &whole);
    if (!whole) return false;  // the stream ended inside the headers
    if (n <= 2) return true;
    if (first) *status = StatusCode(line);
    else ReadHeaderLine(line, chunked);
    first = false;
    bytes += n;
    if (bytes > kMaxHeaderBytes) return false;
  }
}

std::string HttpRequestText(const char* method, const std::string& path, const std::string& query,
                            const std::string& host, uint16_t port) {
  std::string hostField = port == 80 ? host : host + ":" + std::to_string(port);
  return Format("%s %s?%s HTTP/1.1\r\nHost: %s\r\n\r\n", method, path.c_str(), query.c_str(),
                hostField.c_str());
}

size_t ReadHttpReply(TcpConnection& connection, const HttpTimeouts& timeouts, int* status, size_t capacity,
                     char* body, HttpReport* report) {
  std::memset(body, 0, capacity + 1);
  *status = 0;
  *report = HttpReport();
  std::unique_ptr<RecvRecord> rec;
  try {
    rec = std::make_unique<RecvRecord>();
  } catch (const std::bad_alloc&) {
    report->failure = HttpFailure::NoMemory;
    return 0;
  }
  ReplyStream stream(connection, timeouts);
  bool chunked = false;
  if (!recv_header(stream, rec.get(), status, &chunked)) {
    report->failure = stream.overtime        ? HttpFailure::TooSlow
                      : stream.received == 0 ? HttpFailure::NoReply
                      : stream.ended         ? HttpFailure::CutInHeaders
                                             : HttpFailure::HeadersTooLong;
    report->net = stream.net;
    return 0;
  }
  size_t used = 0;
  bool whole;
  if (chunked) {
    whole = ReadChunkedBody(stream, rec.get(), body, capacity, &used);
  } else {
    used = recv_getchunk(stream, rec.get(), body, capacity, capacity);
    // A plain body ends with the connection; one that stalled is not whole.
    whole = used == capacity || stream.net.ok();
  }
  if (!whole) {
    report->failure = stream.overtime ? HttpFailure::TooSlow : HttpFailure::CutInBody;
    report->net = stream.net;
  }
  return used;
}

size_t DoHttpSocketEx(const HttpEndpoint& to, const std::string& request, int* status, size_t capacity, char* body,
                      HttpReport* report) {
  HttpReport local;
  HttpReport& r = report ? *report : local;
  r = HttpReport();
  std::memset(body, 0, capacity + 1);
  *status = 0;
  std::unique_ptr<TcpConnection> connection =
      ConnectTcp(to.host, to.port, to.timeouts.resolveMs, to.timeouts.connectMs, &r.net);
  if (!connection) {
    r.failure = HttpFailure::Connection;
    return 0;
  }
  if (!connection->Send(request.data(), request.size(), &r.net) || !connection->ShutdownSend(&r.net)) {
    r.failure = HttpFailure::Send;
    return 0;
  }
  return ReadHttpReply(*connection, to.timeouts, status, capacity, body, &r);
}

}  // namespace tsl
