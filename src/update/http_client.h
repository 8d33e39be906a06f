// The version check's own small HTTP/1.1 client: one GET, one reply read
// through a fixed receive record, a plain or chunked body cut at the
// caller's capacity. Every wait has a bound.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/net.h"

namespace tsl {

// The receive record: 8,180 bytes of received data, then the read position
// and the count of valid bytes, in a block of 8,192. Each refill clears it
// whole.
struct RecvRecord {
  char data[8180];
  uint32_t pos;
  uint32_t count;
  uint32_t unused;
};
static_assert(sizeof(RecvRecord) == 8192, "the receive record is 8,192 bytes");

// How long each step may wait, in milliseconds. `replyMs` bounds the whole
// reply, so that a server trickling a byte at a time ends too.
struct HttpTimeouts {
  int resolveMs = 5000;
  int connectMs = 5000;
  int receiveMs = 5000;
  int replyMs = 15000;
};

// Where the reply stopped short, when it did.
enum class HttpFailure {
  None,
  NoMemory,      // the receive record could not be had
  Connection,    // see `net` for why
  Send,
  NoReply,       // the connection ended or stalled before a status line
  CutInHeaders,  // the connection ended or stalled before the blank line
  CutInBody,     // the body stalled, or a chunked body ended before its last chunk
  HeadersTooLong,
  TooSlow,       // the whole reply took longer than its bound
};

struct HttpReport {
  HttpFailure failure = HttpFailure::None;
  NetStatus net;  // the connection's own failure, when it had one
};

// The reading side of one reply: the connection, its time bounds, and how
// the stream ended once it has.
struct ReplyStream {
  ReplyStream(TcpConnection& c, const HttpTimeouts& t)
      : connection(c), receiveMs(t.receiveMs),
        deadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(t.replyMs)) {}
  TcpConnection& connection;
  int receiveMs;
  std::chrono::steady_clock::time_point deadline;
  size_t received = 0;  // bytes of the reply so far
  bool ended = false;   // no more data will come
  bool overtime = false;  // it ended because the whole reply took too long
  NetStatus net;       // why, when it was not the server's orderly end
};

// Copies bytes up to and including a line feed into `line`, at most
// size - 1 of them, refilling the record as needed, and NUL-terminates.
// The result is the line's length (0 when nothing more came).
size_t recv_getline(ReplyStream& stream, RecvRecord* rec, char* line, size_t size);
// Copies `count` bytes, at most `destSize` of them, into `dest`; fewer when
// the stream ends. The result is the number copied.
size_t recv_getchunk(ReplyStream& stream, RecvRecord* rec, char* dest, size_t destSize, size_t count);
// Reads the status line and the headers up to the blank line: the status
// code (0 when none was read) and whether the body is chunked. False when
// the stream ended before the blank line.
bool recv_header(ReplyStream& stream, RecvRecord* rec, int* status, bool* chunked);

// The server to ask and how long to wait for it.
struct HttpEndpoint {
  std::string host;
  uint16_t port = 80;
  HttpTimeouts timeouts;
};

// "<method> <path>?<query> HTTP/1.1" with the Host header (its port named
// when it is not 80) and the blank line.
std::string HttpRequestText(const char* method, const std::string& path, const std::string& query,
                            const std::string& host, uint16_t port);

// Reads the status line, the headers and the body from `connection`.
// `body` holds capacity + 1 bytes: it is zero-filled, and receives at most
// `capacity` bytes of body text and always a NUL after them. Stores the HTTP
// status (0 if none was read) and returns the body text's length; `report`
// tells where the reply stopped short, if it did.
size_t ReadHttpReply(TcpConnection& connection, const HttpTimeouts& timeouts, int* status, size_t capacity,
                     char* body, HttpReport* report);

// Sends `request` to `to`, closes the sending half and reads the reply as
// ReadHttpReply does; `report` also tells a failure to connect or send.
size_t DoHttpSocketEx(const HttpEndpoint& to, const std::string& request, int* status, size_t capacity, char* body,
                      HttpReport* report);

}  // namespace tsl
