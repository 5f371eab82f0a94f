#include "tests/support/FakePrinter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace dovra::testing {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("TFakePrinter: " + what + ": " + std::strerror(errno));
}

}  // namespace

TFakePrinter::TFakePrinter(Transport transport) : transport_(transport) {
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) Fail("pipe");
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];

  if (transport_ == Transport::kPseudoTerminal) {
    if (::openpty(&masterFd_, &slaveFd_, nullptr, nullptr, nullptr) != 0) Fail("openpty");
    ::fcntl(masterFd_, F_SETFD, FD_CLOEXEC);
    ::fcntl(masterFd_, F_SETFL, ::fcntl(masterFd_, F_GETFL) | O_NONBLOCK);
    ::fcntl(slaveFd_, F_SETFD, FD_CLOEXEC);
    char name[PATH_MAX];
    if (::ttyname_r(slaveFd_, name, sizeof name) != 0) Fail("ttyname");
    slavePath_ = name;
    // Raw from the start; the fixture keeps the slave open so the master never sees a hang-up
    // while the device is between two activations.
    termios tio{};
    ::tcgetattr(slaveFd_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slaveFd_, TCSANOW, &tio);
  } else {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) Fail("socket");
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Fail("bind");
    if (::listen(listenFd_, 4) != 0) Fail("listen");
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    tcpPort_ = ntohs(addr.sin_port);
  }
  thread_ = std::thread([this] { Run(); });
}

TFakePrinter::~TFakePrinter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  const char byte = 's';
  (void)!::write(wakeWrite_, &byte, 1);
  if (thread_.joinable()) thread_.join();
  for (int fd : {connFd_, listenFd_, masterFd_, slaveFd_, wakeRead_, wakeWrite_})
    if (fd >= 0) ::close(fd);
}

std::string TFakePrinter::Porta() const {
  if (transport_ == Transport::kTcp) return "TCP:127.0.0.1:" + std::to_string(tcpPort_);
  return slavePath_;
}

void TFakePrinter::WhenEndsWith(std::string query, std::string reply,
                                std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  rules_.push_back({std::move(query), std::move(reply), delay, true});
}

void TFakePrinter::WhenContains(std::string query, std::string reply,
                                std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  rules_.push_back({std::move(query), std::move(reply), delay, false});
}

void TFakePrinter::SetMode(Mode mode) {
  std::lock_guard<std::mutex> lock(mutex_);
  mode_ = mode;
}

void TFakePrinter::SetLateDelay(std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  lateDelay_ = delay;
}

void TFakePrinter::Send(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  WriteAll(transport_ == Transport::kTcp ? connFd_ : masterFd_, bytes);
}

void TFakePrinter::HangUp() {
  std::lock_guard<std::mutex> lock(mutex_);
  CloseConnection();
}

std::string TFakePrinter::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void TFakePrinter::ClearReceived() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
  window_.clear();
}

bool TFakePrinter::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

// Called with mutex_ held.
void TFakePrinter::WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (fd >= 0 && done < bytes.size()) {
    const ssize_t n = transport_ == Transport::kTcp
                          ? ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                          : ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, 1000) <= 0) return;
      continue;
    }
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// Called with mutex_ held. Only the printer's side goes: the listener stays for a reconnect.
void TFakePrinter::CloseConnection() {
  if (transport_ == Transport::kTcp) {
    if (connFd_ >= 0) ::close(connFd_);
    connFd_ = -1;
  } else {
    if (masterFd_ >= 0) ::close(masterFd_);
    masterFd_ = -1;
  }
  const char byte = 'h';
  (void)!::write(wakeWrite_, &byte, 1);
}

bool TFakePrinter::SleepUnlessStopping(std::chrono::milliseconds delay) {
  std::unique_lock<std::mutex> lock(mutex_);
  return !changed_.wait_for(lock, delay, [&] { return stopping_; });
}

void TFakePrinter::OnBytes(const std::string& bytes) {
  std::string reply;
  std::chrono::milliseconds delay{0};
  bool hangUp = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    received_ += bytes;
    window_ += bytes;
    changed_.notify_all();
    if (mode_ == Mode::kSilent) return;
    const Rule* match = nullptr;
    for (const Rule& rule : rules_) {
      const bool hit = rule.endsWith ? window_.ends_with(rule.query)
                                     : window_.find(rule.query) != std::string::npos;
      if (hit) {
        match = &rule;
        break;
      }
    }
    if (!match) return;
    reply = match->reply;
    delay = mode_ == Mode::kLate ? lateDelay_ : match->delay;
    hangUp = mode_ == Mode::kHangUp;
    window_.clear();
  }
  if (delay.count() > 0 && !SleepUnlessStopping(delay)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const int fd = transport_ == Transport::kTcp ? connFd_ : masterFd_;
  if (hangUp) {
    WriteAll(fd, reply.substr(0, reply.size() / 2));
    CloseConnection();
  } else {
    WriteAll(fd, reply);
  }
}

void TFakePrinter::Run() {
  char chunk[4096];
  for (;;) {
    pollfd fds[2];
    int count = 0;
    fds[count++] = {wakeRead_, POLLIN, 0};
    int dataFd;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
      dataFd = transport_ == Transport::kTcp ? (connFd_ >= 0 ? connFd_ : listenFd_) : masterFd_;
    }
    if (dataFd >= 0) fds[count++] = {dataFd, POLLIN, 0};
    if (::poll(fds, static_cast<nfds_t>(count), 1000) < 0 && errno != EINTR) return;
    if (fds[0].revents & POLLIN)
      while (::read(wakeRead_, chunk, sizeof chunk) > 0) {
      }
    if (count < 2 || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR))) continue;

    if (transport_ == Transport::kTcp && dataFd == listenFd_) {
      const int conn = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (conn >= 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        connFd_ = conn;
      }
      continue;
    }
    // The descriptor may have been closed by HangUp since the poll; read only a live one.
    std::unique_lock<std::mutex> lock(mutex_);
    const int current = transport_ == Transport::kTcp ? connFd_ : masterFd_;
    if (current != dataFd) continue;
    const ssize_t n = ::read(dataFd, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) {
      if (transport_ == Transport::kTcp) {
        CloseConnection();  // the device went away; wait for the next connection
      } else {
        lock.unlock();
        SleepUnlessStopping(std::chrono::milliseconds(10));  // no slave side open right now
      }
      continue;
    }
    lock.unlock();
    OnBytes(std::string(chunk, static_cast<std::size_t>(n)));
  }
}

}  // namespace dovra::testing
