#include "emulator/server/Server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "emulator/server/ControlCommand.h"
#include "emulator/transcript/ReceiptFiles.h"
#include "emulator/transcript/Transcript.h"

namespace dovra::emulator {

TServer::TServer(TServerOptions options, TLineHandler onMessage, TLineHandler onError)
    : options_(std::move(options)), onMessage_(std::move(onMessage)),
      onError_(std::move(onError)) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("pipe2 falhou");
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
  if (!options_.outputDir.empty()) {
    writer_ = std::make_unique<TTranscriptWriter>(options_.outputDir);
    nextReceipt_ = NextReceiptNumber(options_.outputDir);
  }
  options_.printer.identity.colunas = options_.printer.columns;
  printer_ = std::make_unique<TVirtualPrinter>(options_.printer,
                                               [this](TReceipt r) { OnReceipt(std::move(r)); });
  events_.connected = [this](const std::string& peer) { Message("conexão de " + peer); };
  events_.data = [this](std::string_view bytes) { OnData(bytes); };
  events_.closed = [this] { OnClosed(); };
}

TServer::~TServer() {
  port_.reset();
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

std::string TServer::Open() {
  port_ = options_.pty ? OpenPtyPort() : OpenTcpPort(options_.host, options_.port);
  return port_->Name();
}

std::string TServer::PortName() const { return port_ ? port_->Name() : std::string(); }

void TServer::RequestStop() {
  stop_.store(true);
  const char c = 's';
  [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &c, 1);
}

void TServer::Post(std::string line) {
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    posted_.push_back(std::move(line));
  }
  const char c = 'p';
  [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &c, 1);
}

void TServer::Message(const std::string& line) const {
  if (onMessage_) onMessage_(line);
}

void TServer::Error(const std::string& line) const {
  if (onError_) onError_(line);
  else Message(line);
}

void TServer::Run() {
  if (!port_) throw std::runtime_error("porta não aberta");
  while (!stop_.load()) {
    pollfd fds[3];
    int count = 0;
    fds[count++] = {wakeRead_, POLLIN, 0};
    const int controlIndex = controlFd_ >= 0 ? count : -1;
    if (controlFd_ >= 0) fds[count++] = {controlFd_, POLLIN, 0};
    const int portFd = port_->WaitFd();
    const int portIndex = portFd >= 0 ? count : -1;
    if (portFd >= 0) fds[count++] = {portFd, POLLIN, 0};

    int timeout = port_->WaitLimitMs();
    if (!due_.empty()) {
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                            due_.front().due - std::chrono::steady_clock::now()).count() + 1;
      const int ms = static_cast<int>(std::max<long long>(0, wait));
      timeout = timeout < 0 ? ms : std::min(timeout, ms);
    }
    const int r = ::poll(fds, static_cast<nfds_t>(count), timeout);
    if (r < 0 && errno != EINTR) break;

    if (r > 0 && (fds[0].revents & POLLIN)) {
      char drain[64];
      while (::read(wakeRead_, drain, sizeof drain) > 0) {
      }
      std::vector<std::string> lines;
      {
        std::lock_guard<std::mutex> lock(postedMutex_);
        lines.swap(posted_);
      }
      for (const std::string& line : lines) Execute(line);
    }
    if (stop_.load()) break;
    if (controlIndex >= 0 && fds[controlIndex].revents) DrainControl();
    if (stop_.load()) break;
    // A port with no descriptor to wait on (an idle pseudo-terminal) looks for itself.
    if (portFd < 0 || fds[portIndex].revents) port_->Service(events_);
    SendDueReplies();
  }
  // Whatever the host sent last is still a receipt.
  due_.clear();
  printer_->ConnectionClosed();
}

void TServer::DrainControl() {
  char buf[4096];
  const ssize_t n = ::read(controlFd_, buf, sizeof buf);
  if (n <= 0) {
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    controlFd_ = -1;  // end of input: keep serving
    return;
  }
  controlBuffer_.append(buf, static_cast<std::size_t>(n));
  std::size_t nl;
  while ((nl = controlBuffer_.find('\n')) != std::string::npos) {
    const std::string line = controlBuffer_.substr(0, nl);
    controlBuffer_.erase(0, nl + 1);
    Execute(line);
    if (stop_.load()) return;
  }
}

void TServer::Execute(const std::string& line) {
  const TControlCommand c = ParseControlCommand(line);
  switch (c.kind) {
    case TControlCommand::Kind::kNone:
      break;
    case TControlCommand::Kind::kEstado:
      printer_->SetConditions(c.conditions);
      Message("estado: " + FormatConditions(c.conditions));
      break;
    case TControlCommand::Kind::kModo:
      printer_->SetMode(c.mode);
      Message("modo: " + Describe(c.mode));
      break;
    case TControlCommand::Kind::kSair:
      Message("encerrando");
      stop_.store(true);
      break;
    case TControlCommand::Kind::kInvalid:
      Error(c.error);
      break;
  }
}

void TServer::OnData(std::string_view bytes) {
  const auto now = std::chrono::steady_clock::now();
  for (TVirtualPrinter::TReply& reply : printer_->Receive(bytes)) {
    due_.push_back({now + std::chrono::milliseconds(reply.delayMs), std::move(reply.bytes)});
  }
  if (printer_->ShouldHangUp()) {
    Message("conexão derrubada (modo desligar)");
    const std::string before = port_->Name();
    port_->HangUp(events_);
    if (port_->Name() != before) Message("porta: " + port_->Name());
    return;
  }
  SendDueReplies();
}

void TServer::OnClosed() {
  due_.clear();
  printer_->ConnectionClosed();
  Message("conexão encerrada");
}

void TServer::SendDueReplies() {
  const auto now = std::chrono::steady_clock::now();
  while (!due_.empty() && due_.front().due <= now) {
    port_->Send(due_.front().bytes);
    due_.pop_front();
  }
}

void TServer::OnReceipt(TReceipt receipt) {
  receipt.number = nextReceipt_++;
  std::string path;
  if (writer_) {
    try {
      path = writer_->Write(receipt);
      Message("recibo " + std::to_string(receipt.number) + ": " + path);
    } catch (const std::exception& e) {
      Error(e.what());
    }
  } else {
    Message("--- recibo " + std::to_string(receipt.number) + " ---");
    const std::string text = TranscriptText(receipt);
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t nl = text.find('\n', start);
      Message(text.substr(start, nl - start));
      start = nl + 1;
    }
    Message("--- fim do recibo " + std::to_string(receipt.number) + " ---");
  }
  if (onReceipt_) onReceipt_(receipt, path);
}

}  // namespace dovra::emulator
