#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "emulator/server/Port.h"

namespace dovra::emulator {

namespace detail {

bool WriteAll(int fd, std::string_view bytes, int timeoutMs, bool socket) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = socket ? ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                             : ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd, POLLOUT, 0};
      const int r = ::poll(&p, 1, timeoutMs);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
      continue;
    }
    return false;
  }
  return true;
}

}  // namespace detail

namespace {

std::string PeerName(const sockaddr_storage& addr) {
  char host[INET6_ADDRSTRLEN] = "?";
  int port = 0;
  if (addr.ss_family == AF_INET) {
    const auto* a = reinterpret_cast<const sockaddr_in*>(&addr);
    ::inet_ntop(AF_INET, &a->sin_addr, host, sizeof host);
    port = ntohs(a->sin_port);
    return std::string(host) + ":" + std::to_string(port);
  }
  if (addr.ss_family == AF_INET6) {
    const auto* a = reinterpret_cast<const sockaddr_in6*>(&addr);
    ::inet_ntop(AF_INET6, &a->sin6_addr, host, sizeof host);
    port = ntohs(a->sin6_port);
  }
  return "[" + std::string(host) + "]:" + std::to_string(port);
}

class TTcpPort : public TPort {
 public:
  TTcpPort(const std::string& host, const std::string& port) {
    // "[::1]" names an IPv6 address; the brackets stay in the port's name only.
    std::string bare = host;
    if (bare.size() > 2 && bare.front() == '[' && bare.back() == ']') {
      bare = bare.substr(1, bare.size() - 2);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(bare.c_str(), port.c_str(), &hints, &found);
    if (rc != 0) {
      throw std::runtime_error("endereço inválido " + host + ":" + port + ": " +
                               ::gai_strerror(rc));
    }
    std::string error = "nenhum endereço";
    for (addrinfo* a = found; a && listenFd_ < 0; a = a->ai_next) {
      const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                              a->ai_protocol);
      if (fd < 0) {
        error = std::strerror(errno);
        continue;
      }
      const int yes = 1;
      ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
      if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 8) != 0) {
        error = std::strerror(errno);
        ::close(fd);
        continue;
      }
      listenFd_ = fd;
    }
    ::freeaddrinfo(found);
    if (listenFd_ < 0) {
      throw std::runtime_error("não foi possível escutar em " + host + ":" + port + ": " + error);
    }
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &len);
    const int actual = bound.ss_family == AF_INET6
                           ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                           : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    name_ = "TCP:" + host + ":" + std::to_string(actual);
  }

  ~TTcpPort() override {
    if (connFd_ >= 0) ::close(connFd_);
    if (listenFd_ >= 0) ::close(listenFd_);
  }

  std::string Name() const override { return name_; }
  int WaitFd() const override { return connFd_ >= 0 ? connFd_ : listenFd_; }
  bool Connected() const override { return connFd_ >= 0; }

  void Service(const TEvents& events) override {
    if (connFd_ < 0) {
      sockaddr_storage peer{};
      socklen_t len = sizeof peer;
      const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &len,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) return;
      const int yes = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      connFd_ = fd;
      if (events.connected) events.connected(PeerName(peer));
      return;
    }
    char buf[65536];
    for (;;) {
      const ssize_t n = ::read(connFd_, buf, sizeof buf);
      if (n > 0) {
        if (events.data) events.data(std::string_view(buf, static_cast<std::size_t>(n)));
        if (connFd_ < 0) return;  // hung up by the handler
        if (static_cast<std::size_t>(n) < sizeof buf) return;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      Drop(events);
      return;
    }
  }

  void Send(std::string_view bytes) override {
    if (connFd_ >= 0) detail::WriteAll(connFd_, bytes, 2000, true);
  }

  void HangUp(const TEvents& events) override { Drop(events); }

 private:
  void Drop(const TEvents& events) {
    if (connFd_ < 0) return;
    ::close(connFd_);
    connFd_ = -1;
    if (events.closed) events.closed();
  }

  int listenFd_ = -1;
  int connFd_ = -1;
  std::string name_;
};

}  // namespace

std::unique_ptr<TPort> OpenTcpPort(const std::string& host, const std::string& port) {
  return std::make_unique<TTcpPort>(host, port);
}

}  // namespace dovra::emulator
