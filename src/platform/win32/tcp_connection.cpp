#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>

#include <memory>
#include <mutex>

#include "platform/bounded_call.h"
#include "platform/net.h"
#include "platform/win32/system_text.h"

namespace tsl {

namespace {

NetStatus Failed(NetFailure failure, int code) {
  NetStatus s;
  s.failure = failure;
  if (code) s.systemText = win32::SystemErrorText(static_cast<uint32_t>(code));
  return s;
}

// One use of WinSock 2.2, ended with the object.
class WinSockUse {
 public:
  WinSockUse() {
    WSADATA data;
    ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!ok_) code_ = WSAGetLastError();
  }
  ~WinSockUse() {
    if (ok_) WSACleanup();
  }
  WinSockUse(const WinSockUse&) = delete;
  WinSockUse& operator=(const WinSockUse&) = delete;
  bool ok() const { return ok_; }
  int code() const { return code_; }

 private:
  bool ok_ = false;
  int code_ = 0;
};

// select() for one socket; 0 when the time ran out.
int SelectFor(SOCKET s, bool write, int timeoutMs) {
  fd_set ready, failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(s, &ready);
  FD_SET(s, &failed);
  if (timeoutMs < 0) timeoutMs = 0;
  timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  // A failed non-blocking connect is reported in the exception set.
  return select(0, write ? nullptr : &ready, write ? &ready : nullptr, write ? &failed : nullptr, &limit);
}

class WinSockConnection : public TcpConnection {
 public:
  WinSockConnection(std::unique_ptr<WinSockUse> use, SOCKET s) : use_(std::move(use)), s_(s) {}
  ~WinSockConnection() override { closesocket(s_); }

  bool Send(const char* data, size_t size, NetStatus* status) override {
    while (size > 0) {
      int piece = size > 0x10000 ? 0x10000 : static_cast<int>(size);
      int n = send(s_, data, piece, 0);
      if (n <= 0) {
        *status = Failed(NetFailure::Send, n < 0 ? WSAGetLastError() : 0);
        return false;
      }
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  bool ShutdownSend(NetStatus* status) override {
    if (shutdown(s_, SD_SEND) == 0) return true;
    *status = Failed(NetFailure::Send, WSAGetLastError());
    return false;
  }

  long Receive(char* buffer, size_t capacity, int timeoutMs, NetStatus* status) override {
    int ready = SelectFor(s_, false, timeoutMs);
    if (ready == 0) {
      *status = Failed(NetFailure::ReceiveTimeout, 0);
      return -1;
    }
    if (ready == SOCKET_ERROR) {
      *status = Failed(NetFailure::Receive, WSAGetLastError());
      return -1;
    }
    int n = recv(s_, buffer, capacity > 0x10000 ? 0x10000 : static_cast<int>(capacity), 0);
    if (n == SOCKET_ERROR) {
      *status = Failed(NetFailure::Receive, WSAGetLastError());
      return -1;
    }
    return n;
  }

 private:
  std::unique_ptr<WinSockUse> use_;  // outlives the socket
  SOCKET s_;
};

struct Lookup {
  std::mutex mutex;
  bool found = false;
  in_addr address{};
  int code = 0;
};

bool Resolve(const std::string& host, int timeoutMs, in_addr* address, NetStatus* status) {
  unsigned long numeric = inet_addr(host.c_str());
  if (numeric != INADDR_NONE) {
    address->s_addr = numeric;
    return true;
  }
  auto lookup = std::make_shared<Lookup>();
  bool finished = RunBounded(
      [lookup, host] {
        WinSockUse use;  // its own: the lookup may outlive its caller's
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        int rc = use.ok() ? getaddrinfo(host.c_str(), nullptr, &hints, &list) : use.code();
        std::lock_guard<std::mutex> lock(lookup->mutex);
        if (rc == 0 && list) {
          lookup->found = true;
          lookup->address = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr;
        } else {
          lookup->code = rc ? rc : WSAHOST_NOT_FOUND;
        }
        if (list) freeaddrinfo(list);
      },
      timeoutMs);
  std::lock_guard<std::mutex> lock(lookup->mutex);
  if (finished && lookup->found) {
    *address = lookup->address;
    return true;
  }
  *status = Failed(NetFailure::Resolve, finished ? lookup->code : 0);
  if (!finished) status->systemText = "the lookup took too long";
  return false;
}

}  // namespace

std::unique_ptr<TcpConnection> ConnectTcp(const std::string& host, uint16_t port, int resolveMs, int connectMs,
                                          NetStatus* status) {
  *status = NetStatus();
  auto use = std::make_unique<WinSockUse>();
  if (!use->ok()) {
    *status = Failed(NetFailure::NoNetwork, use->code());
    return nullptr;
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (!Resolve(host, resolveMs, &to.sin_addr, status)) return nullptr;

  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) {
    *status = Failed(NetFailure::NoSocket, WSAGetLastError());
    return nullptr;
  }
  auto connection = std::make_unique<WinSockConnection>(std::move(use), s);

  // Connect without blocking, so that the wait for the server is ours.
  u_long nonBlocking = 1;
  if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
    *status = Failed(NetFailure::NoSocket, WSAGetLastError());
    return nullptr;
  }
  int code = 0;
  if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == SOCKET_ERROR) {
    code = WSAGetLastError();
    if (code == WSAEWOULDBLOCK) {
      int ready = SelectFor(s, true, connectMs);
      if (ready == 0) {
        *status = Failed(NetFailure::ConnectTimeout, 0);
        return nullptr;
      }
      code = 0;
      int len = sizeof code;
      if (ready == SOCKET_ERROR) code = WSAGetLastError();
      else if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &len) != 0)
        code = WSAGetLastError();
    }
  }
  if (code) {
    *status = Failed(code == WSAECONNREFUSED ? NetFailure::Refused : NetFailure::Connect, code);
    return nullptr;
  }
  u_long blocking = 0;
  ioctlsocket(s, FIONBIO, &blocking);
  // A send never waits long either: a request is a few dozen bytes.
  DWORD sendLimit = static_cast<DWORD>(connectMs);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendLimit), sizeof sendLimit);
  return connection;
}

}  // namespace tsl
