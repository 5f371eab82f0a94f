// Where the virtual printer meets its host: a loopback (or given) TCP address that accepts one
// connection after another, or a pseudo-terminal whose slave side the host opens as a serial
// line. Non-blocking; the server waits on WaitFd() and calls Service().
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace dovra::emulator {

class TPort {
 public:
  struct TEvents {
    std::function<void(const std::string& peer)> connected;
    std::function<void(std::string_view bytes)> data;
    std::function<void()> closed;
  };

  virtual ~TPort() = default;

  // What a host puts in its port setting: "TCP:127.0.0.1:9100" or "/dev/pts/7".
  virtual std::string Name() const = 0;
  // The descriptor to wait on (-1 for none) and the longest wait before Service() must run
  // anyway (-1 for no limit).
  virtual int WaitFd() const = 0;
  virtual int WaitLimitMs() const { return -1; }
  // Accepts, reads and notices hang-ups.
  virtual void Service(const TEvents& events) = 0;
  virtual bool Connected() const = 0;
  // To the connected host; dropped when there is none or it went away.
  virtual void Send(std::string_view bytes) = 0;
  // Drops the host now (a pseudo-terminal is replaced by a new one, with a new Name()).
  virtual void HangUp(const TEvents& events) = 0;
};

// Listens on host:port (port "0" picks a free port). Raises std::runtime_error.
std::unique_ptr<TPort> OpenTcpPort(const std::string& host, const std::string& port);
// A new pseudo-terminal in raw mode. Raises std::runtime_error.
std::unique_ptr<TPort> OpenPtyPort();

namespace detail {
// Writes everything within `timeoutMs` to a non-blocking descriptor; false when it failed.
bool WriteAll(int fd, std::string_view bytes, int timeoutMs, bool socket);
}  // namespace detail

}  // namespace dovra::emulator
