#include "device/TcpClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>

#include "util/FileDescriptor.h"

namespace dovra {

namespace {

using Clock = std::chrono::steady_clock;

// "[::1]" -> "::1"; any other host is returned as given.
std::string StripBrackets(const std::string& host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    return host.substr(1, host.size() - 2);
  return host;
}

bool ValidPort(const std::string& port) {
  if (port.empty() || port.size() > 5) return false;
  if (!std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  const int n = std::stoi(port);
  return n >= 1 && n <= 65535;
}

// Milliseconds left until `deadline` for poll(), rounded up so that poll never wakes before
// it; -1 (wait forever) without a deadline.
int RemainingMs(bool bounded, Clock::time_point deadline) {
  if (!bounded) return -1;
  const auto left =
      std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
  if (left <= 0) return 0;
  return static_cast<int>(std::min<long long>((left + 999) / 1000, 1 << 30));
}

struct AddrInfoDeleter {
  void operator()(addrinfo* ai) const { freeaddrinfo(ai); }
};

// Outcome of one connect attempt: 0 on success, otherwise the errno that ended it.
int ConnectOne(const addrinfo* ai, bool bounded, Clock::time_point deadline, int& fdOut) {
  FileDescriptor fd(
      socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol));
  if (!fd.Valid()) return errno;
  if (connect(fd.Get(), ai->ai_addr, ai->ai_addrlen) != 0) {
    if (errno != EINPROGRESS && errno != EINTR) return errno;
    for (;;) {
      pollfd p{fd.Get(), POLLOUT, 0};
      const int wait = RemainingMs(bounded, deadline);
      const int r = poll(&p, 1, wait);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return errno;
      if (r == 0) return ETIMEDOUT;
      break;
    }
    int soError = 0;
    socklen_t len = sizeof soError;
    if (getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &soError, &len) != 0) soError = errno;
    if (soError != 0) return soError;
  }
  // Receipts are small and printers answer queries at once: do not hold bytes back.
  const int one = 1;
  setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fdOut = fd.Release();
  return 0;
}

}  // namespace

TTcpClient::~TTcpClient() { Close(); }

// Closing a socket that still holds unread bytes makes the kernel reset the connection, and a
// reset can make the printer drop the end of a receipt it has not printed yet: read whatever
// is pending first so the close is an orderly one.
void TTcpClient::OnClosing() {
  const int fd = Fd();
  if (fd < 0) return;
  char sink[4096];
  for (int i = 0; i < 256; ++i) {
    const ssize_t n = recv(fd, sink, sizeof sink, MSG_DONTWAIT);
    if (n > 0) continue;
    if (n < 0 && errno == EINTR) continue;
    break;
  }
}

std::string TTcpClient::EndpointName() const {
  const std::string bare = StripBrackets(host_);
  if (bare.find(':') != std::string::npos) return "[" + bare + "]:" + port_;
  return bare + ":" + port_;
}

void TTcpClient::Connect(const std::string& host, const std::string& port) {
  Close();
  ClearError();
  host_ = host;
  port_ = port;
  const std::string bare = StripBrackets(host);
  const std::string where = EndpointName();

  if (bare.empty()) {
    Fail(EDESTADDRREQ, "Host TCP não definido (porta " + port + ")");
    return;
  }
  if (!ValidPort(port)) {
    Fail(EINVAL, "Porta TCP inválida em " + where);
    return;
  }

  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  // A bracketed host is an address literal: never hand it to the resolver.
  if (bare.size() != host.size()) hints.ai_flags |= AI_NUMERICHOST;
  addrinfo* found = nullptr;
  int gai = getaddrinfo(bare.c_str(), port.c_str(), &hints, &found);
  while (gai == EAI_SYSTEM && errno == EINTR)
    gai = getaddrinfo(bare.c_str(), port.c_str(), &hints, &found);
  if (gai != 0) {
    const std::string reason = gai == EAI_SYSTEM ? SystemReason(errno) : gai_strerror(gai);
    Fail(gai, "Host não encontrado " + where + ": " + reason);
    return;
  }
  std::unique_ptr<addrinfo, AddrInfoDeleter> list(found);

  const bool bounded = connectTimeoutMs_ > 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(connectTimeoutMs_, 0));
  int lastErr = ECONNREFUSED;
  for (const addrinfo* ai = list.get(); ai != nullptr; ai = ai->ai_next) {
    int fd = -1;
    lastErr = ConnectOne(ai, bounded, deadline, fd);
    if (lastErr == 0) {
      Attach(fd);
      return;
    }
    if (lastErr == ETIMEDOUT && bounded && Clock::now() >= deadline) break;
  }

  switch (lastErr) {
    case ECONNREFUSED:
      Fail(lastErr, "Conexão recusada por " + where);
      break;
    case ETIMEDOUT:
      if (bounded)
        Fail(lastErr, "Tempo esgotado ao conectar a " + where + " (" +
                          std::to_string(connectTimeoutMs_) + " ms)");
      else
        Fail(lastErr, "Tempo esgotado ao conectar a " + where);
      break;
    case ENETUNREACH:
    case EHOSTUNREACH:
      Fail(lastErr, "Host inacessível " + where + ": " + SystemReason(lastErr));
      break;
    default:
      Fail(lastErr, "Erro ao conectar a " + where + ": " + SystemReason(lastErr));
      break;
  }
}

// The stream's writer sends with MSG_NOSIGNAL, so a peer that went away is an error, never a
// SIGPIPE; what is left here is to turn a short write (the write time-out ran out) into one.
void TTcpClient::SendString(const std::string& data) {
  ClearError();
  if (!IsOpen()) {
    Fail(ENOTCONN, "Socket não conectado " + EndpointName());
    return;
  }
  const std::size_t sent = Write(data);
  if (sent < data.size() && LastError() == 0)
    Fail(kTimeoutCode, "Tempo esgotado ao enviar para " + EndpointName() + " (" +
                           std::to_string(WriteTimeoutMs()) + " ms, " + std::to_string(sent) +
                           " de " + std::to_string(data.size()) + " bytes enviados)");
}

void TTcpClient::Purge() {
  if (!IsOpen()) return;
  const bool raise = RaiseErrors();
  SetRaiseErrors(false);
  try {
    DiscardInput();
  } catch (...) {
  }
  SetRaiseErrors(raise);
}

}  // namespace dovra
