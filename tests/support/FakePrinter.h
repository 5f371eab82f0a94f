#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dovra::testing {

// A scripted printer on the far side of a transport: a pseudo-terminal pair (the device opens
// the slave path, such as /dev/pts/5, which it takes for a serial line) or a loopback TCP
// listener (the device connects to "TCP:127.0.0.1:<port>"). A thread reads everything the
// device sends, records it, and answers by rules:
//
//   printer.WhenEndsWith("\x10\x04\x01", "\x16");      // DLE EOT 1 -> 0x16
//   printer.WhenContains("\x1dI", "EPSON", 50ms);      // with a delay
//
// A rule is tried against the bytes received since the last answer; the first rule that
// matches answers and starts a new window. Modes: kAnswer (the rules apply), kSilent (never
// answers), kLate (answers after LateDelay()), kHangUp (on a match sends the first half of the
// answer, then closes its side).
class TFakePrinter {
 public:
  enum class Transport { kPseudoTerminal, kTcp };
  enum class Mode { kAnswer, kSilent, kLate, kHangUp };

  explicit TFakePrinter(Transport transport = Transport::kPseudoTerminal);
  ~TFakePrinter();
  TFakePrinter(const TFakePrinter&) = delete;
  TFakePrinter& operator=(const TFakePrinter&) = delete;

  // The port name a device should use: the slave path or "TCP:127.0.0.1:<port>".
  std::string Porta() const;
  const std::string& SlavePath() const { return slavePath_; }
  int TcpPort() const { return tcpPort_; }
  // The fixture's own descriptor of the slave side, to inspect the line settings (-1 for TCP).
  int SlaveFd() const { return slaveFd_; }

  void WhenEndsWith(std::string query, std::string reply,
                    std::chrono::milliseconds delay = std::chrono::milliseconds(0));
  void WhenContains(std::string query, std::string reply,
                    std::chrono::milliseconds delay = std::chrono::milliseconds(0));
  void SetMode(Mode mode);
  void SetLateDelay(std::chrono::milliseconds delay);

  // Sends bytes to the device unasked (for example stale input a purge must drop).
  void Send(const std::string& bytes);
  // Closes the printer's side now.
  void HangUp();

  // Everything received so far, across connections.
  std::string Received() const;
  void ClearReceived();
  // Waits until at least `count` bytes have been received; false when that took too long.
  bool WaitForReceived(std::size_t count,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

 private:
  struct Rule {
    std::string query;
    std::string reply;
    std::chrono::milliseconds delay;
    bool endsWith;
  };

  void Run();
  void OnBytes(const std::string& bytes);
  bool SleepUnlessStopping(std::chrono::milliseconds delay);
  void WriteAll(int fd, const std::string& bytes);
  void CloseConnection();

  Transport transport_;
  std::string slavePath_;
  int masterFd_ = -1;
  int slaveFd_ = -1;
  int listenFd_ = -1;
  int connFd_ = -1;
  int tcpPort_ = 0;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::string received_;
  std::string window_;
  std::vector<Rule> rules_;
  Mode mode_ = Mode::kAnswer;
  std::chrono::milliseconds lateDelay_{2000};
  bool stopping_ = false;
  std::thread thread_;
};

// The settings of a terminal line as the kernel holds them (TCGETS2), decoded.
struct TLineSettings {
  int speed = 0;  // output speed in baud
  int dataBits = 0;
  char parity = 'N';  // N, O, E, M, S
  int stopBits = 1;
  bool rtsCts = false;
  bool xonXoff = false;  // IXON and IXOFF
  bool raw = false;      // no canonical mode, echo, or output processing
};
TLineSettings ReadLineSettings(int fd);

}  // namespace dovra::testing
