// A TCP connection to a server, for the version check: BSD sockets on
// POSIX, WinSock 2 on Windows. Every wait has a bound, so that a server that
// never answers cannot hold a caller.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tsl {

// Where a connection failed, for the reason a caller states.
enum class NetFailure {
  None,
  NoNetwork,       // the socket library could not be started
  Resolve,         // the host name did not resolve (in time)
  NoSocket,        // no socket could be made
  Refused,         // nothing listens on the port
  Connect,         // any other failure to connect
  ConnectTimeout,  // no connection within the bound
  Send,
  Receive,
  ReceiveTimeout,  // nothing arrived within the bound
};

struct NetStatus {
  NetFailure failure = NetFailure::None;
  std::string systemText;  // the system's words, when it gave any
  bool ok() const { return failure == NetFailure::None; }
};

// One connected stream; closing it (and, on Windows, ending the socket
// library's use) is its destructor's.
class TcpConnection {
 public:
  virtual ~TcpConnection() = default;
  // Sends all of `data`.
  virtual bool Send(const char* data, size_t size, NetStatus* status) = 0;
  // Tells the server that nothing more will be sent.
  virtual bool ShutdownSend(NetStatus* status) = 0;
  // Waits at most `timeoutMs` for data and receives up to `capacity` bytes:
  // the count, 0 when the server ended the stream, -1 on a failure or when
  // the time ran out (`status` says which).
  virtual long Receive(char* buffer, size_t capacity, int timeoutMs, NetStatus* status) = 0;
};

// Resolves `host` (a name or an IPv4 address) within `resolveMs` and
// connects to its first IPv4 address within `connectMs`. nullptr on failure.
std::unique_ptr<TcpConnection> ConnectTcp(const std::string& host, uint16_t port, int resolveMs, int connectMs,
                                          NetStatus* status);

}  // namespace tsl
