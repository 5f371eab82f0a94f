#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "emulator/server/Port.h"

namespace dovra::emulator {

namespace {

// While no program holds the slave side open, the master reports a hang-up at every poll; the
// port then looks again at this interval instead of waiting on the descriptor.
constexpr int kIdleProbeMs = 20;

class TPtyPort : public TPort {
 public:
  TPtyPort() { Create(); }
  ~TPtyPort() override { Destroy(); }

  std::string Name() const override { return slavePath_; }
  int WaitFd() const override { return idle_ ? -1 : masterFd_; }
  int WaitLimitMs() const override { return idle_ ? kIdleProbeMs : -1; }
  bool Connected() const override { return connected_; }

  void Service(const TEvents& events) override {
    pollfd p{masterFd_, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) return;
    if (!(p.revents & POLLIN)) {
      if (p.revents & POLLHUP) GoIdle(events);
      else idle_ = false;  // the slave side is open: wait on the descriptor again
      return;
    }
    idle_ = false;
    char buf[65536];
    for (;;) {
      const ssize_t n = ::read(masterFd_, buf, sizeof buf);
      if (n > 0) {
        if (!connected_) {
          connected_ = true;
          if (events.connected) events.connected(slavePath_);
        }
        if (events.data) events.data(std::string_view(buf, static_cast<std::size_t>(n)));
        if (masterFd_ < 0 || !connected_) return;  // hung up by the handler
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      GoIdle(events);  // EIO: the slave side was closed
      return;
    }
  }

  void Send(std::string_view bytes) override {
    if (masterFd_ >= 0 && !idle_) detail::WriteAll(masterFd_, bytes, 2000, false);
  }

  void HangUp(const TEvents& events) override {
    Destroy();
    const bool was = connected_;
    connected_ = false;
    Create();
    if (was && events.closed) events.closed();
  }

 private:
  void GoIdle(const TEvents& events) {
    idle_ = true;
    if (connected_) {
      connected_ = false;
      if (events.closed) events.closed();
    }
  }

  void Create() {
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (masterFd_ < 0) throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
    char name[128];
    if (::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0 ||
        ::ptsname_r(masterFd_, name, sizeof name) != 0) {
      const std::string why = std::strerror(errno);
      Destroy();
      throw std::runtime_error("pseudo-terminal: " + why);
    }
    slavePath_ = name;
    // Raw from the start (no echo, no LF to CR LF), for hosts that do not set the line up.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) {
      termios t{};
      if (::tcgetattr(slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
      }
      ::close(slave);
    }
    ::fcntl(masterFd_, F_SETFL, ::fcntl(masterFd_, F_GETFL) | O_NONBLOCK);
    idle_ = true;
  }

  void Destroy() {
    if (masterFd_ >= 0) ::close(masterFd_);
    masterFd_ = -1;
  }

  int masterFd_ = -1;
  std::string slavePath_;
  bool idle_ = true;
  bool connected_ = false;
};

}  // namespace

std::unique_ptr<TPort> OpenPtyPort() { return std::make_unique<TPtyPort>(); }

}  // namespace dovra::emulator
