#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "emulator/server/Port.h"
#include "emulator/server/VirtualPrinter.h"
#include "emulator/transcript/TranscriptWriter.h"

namespace dovra::emulator {

struct TServerOptions {
  TPrinterConfig printer;
  bool pty = false;
  std::string host = "127.0.0.1";
  std::string port = "9100";
  // Folder of the transcripts; empty = transcripts go to the message lines.
  std::string outputDir;
};

// The virtual printer on its port: one poll loop on one thread, serving one connection after
// another, answering queries (late ones when their time comes), writing each finished receipt,
// and obeying control commands.
class TServer {
 public:
  using TLineHandler = std::function<void(const std::string&)>;
  using TReceiptHandler = std::function<void(const TReceipt&, const std::string& path)>;

  // `onMessage` receives the informational lines, `onError` the complaints (Portuguese).
  TServer(TServerOptions options, TLineHandler onMessage, TLineHandler onError = {});
  ~TServer();
  TServer(const TServer&) = delete;
  TServer& operator=(const TServer&) = delete;

  // Opens the port and returns its name ("TCP:127.0.0.1:9100", "/dev/pts/7"). Raises
  // std::runtime_error with a Portuguese message.
  std::string Open();
  std::string PortName() const;
  // Every finished receipt (with the transcript's path, empty without an output folder), on
  // the server's thread.
  void SetOnReceipt(TReceiptHandler handler) { onReceipt_ = std::move(handler); }
  // Control commands are read from `fd` (standard input) while running; its end is not an
  // order to stop.
  void SetControlFd(int fd) { controlFd_ = fd; }

  // Serves until a stop is requested. Call after Open().
  void Run();
  // From any thread, and from a signal handler.
  void RequestStop();
  // A control command line, from any thread.
  void Post(std::string line);

 private:
  struct TDueReply {
    std::chrono::steady_clock::time_point due;
    std::string bytes;
  };

  void Execute(const std::string& line);
  void OnReceipt(TReceipt receipt);
  void OnData(std::string_view bytes);
  void OnClosed();
  void SendDueReplies();
  void DrainControl();
  void Message(const std::string& line) const;
  void Error(const std::string& line) const;

  TServerOptions options_;
  TLineHandler onMessage_;
  TLineHandler onError_;
  TReceiptHandler onReceipt_;
  std::unique_ptr<TTranscriptWriter> writer_;
  int nextReceipt_ = 1;
  std::unique_ptr<TVirtualPrinter> printer_;
  std::unique_ptr<TPort> port_;
  TPort::TEvents events_;
  std::deque<TDueReply> due_;

  int controlFd_ = -1;
  std::string controlBuffer_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::atomic<bool> stop_{false};
  std::mutex postedMutex_;
  std::vector<std::string> posted_;
};

}  // namespace dovra::emulator
