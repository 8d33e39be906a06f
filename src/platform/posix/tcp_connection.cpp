#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/bounded_call.h"
#include "platform/net.h"

namespace tsl {

namespace {

NetStatus Failed(NetFailure failure, int code) {
  NetStatus s;
  s.failure = failure;
  if (code) s.systemText = std::strerror(code);
  return s;
}

// poll() for one event, going on after a signal; 0 when the time ran out.
int PollFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int r;
  do r = poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
  while (r < 0 && errno == EINTR);
  return r;
}

class PosixConnection : public TcpConnection {
 public:
  explicit PosixConnection(int fd) : fd_(fd) {}
  ~PosixConnection() override { close(fd_); }

  bool Send(const char* data, size_t size, NetStatus* status) override {
    while (size > 0) {
      // MSG_NOSIGNAL: a server that went away is a failed send, not SIGPIPE.
      ssize_t n = send(fd_, data, size, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        *status = Failed(NetFailure::Send, n < 0 ? errno : 0);
        return false;
      }
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  bool ShutdownSend(NetStatus* status) override {
    if (shutdown(fd_, SHUT_WR) == 0) return true;
    *status = Failed(NetFailure::Send, errno);
    return false;
  }

  long Receive(char* buffer, size_t capacity, int timeoutMs, NetStatus* status) override {
    int ready = PollFor(fd_, POLLIN, timeoutMs);
    if (ready == 0) {
      *status = Failed(NetFailure::ReceiveTimeout, 0);
      return -1;
    }
    if (ready < 0) {
      *status = Failed(NetFailure::Receive, errno);
      return -1;
    }
    ssize_t n;
    do n = recv(fd_, buffer, capacity, 0);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
      *status = Failed(NetFailure::Receive, errno);
      return -1;
    }
    return static_cast<long>(n);
  }

 private:
  int fd_;
};

// The lookup's result, shared with a lookup that may outlive its caller.
struct Lookup {
  std::mutex mutex;
  bool found = false;
  in_addr address{};
  std::string error;
};

bool Resolve(const std::string& host, int timeoutMs, in_addr* address, NetStatus* status) {
  if (inet_pton(AF_INET, host.c_str(), address) == 1) return true;
  auto lookup = std::make_shared<Lookup>();
  bool finished = RunBounded(
      [lookup, host] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        int rc = getaddrinfo(host.c_str(), nullptr, &hints, &list);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        if (rc == 0 && list) {
          lookup->found = true;
          lookup->address = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr;
        } else {
          lookup->error = gai_strerror(rc);
        }
        if (list) freeaddrinfo(list);
      },
      timeoutMs);
  std::lock_guard<std::mutex> lock(lookup->mutex);
  if (finished && lookup->found) {
    *address = lookup->address;
    return true;
  }
  status->failure = NetFailure::Resolve;
  status->systemText = finished ? lookup->error : std::string("the lookup took too long");
  return false;
}

}  // namespace

std::unique_ptr<TcpConnection> ConnectTcp(const std::string& host, uint16_t port, int resolveMs, int connectMs,
                                          NetStatus* status) {
  *status = NetStatus();
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (!Resolve(host, resolveMs, &to.sin_addr, status)) return nullptr;

  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *status = Failed(NetFailure::NoSocket, errno);
    return nullptr;
  }
  auto connection = std::make_unique<PosixConnection>(fd);

  // Connect without blocking, so that the wait for the server is ours.
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    *status = Failed(NetFailure::NoSocket, errno);
    return nullptr;
  }
  int code = 0;
  if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
    if (errno != EINPROGRESS && errno != EINTR) {
      code = errno;
    } else {
      int ready = PollFor(fd, POLLOUT, connectMs);
      if (ready == 0) {
        *status = Failed(NetFailure::ConnectTimeout, 0);
        return nullptr;
      }
      socklen_t len = sizeof code;
      if (ready < 0) code = errno;
      else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &code, &len) != 0) code = errno;
    }
  }
  if (code) {
    *status = Failed(code == ECONNREFUSED ? NetFailure::Refused : NetFailure::Connect, code);
    return nullptr;
  }
  fcntl(fd, F_SETFL, flags);
  // A send never waits long either: a request is a few dozen bytes.
  timeval sendLimit{connectMs / 1000, (connectMs % 1000) * 1000};
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
  return connection;
}

}  // namespace tsl
