// The TCP, spooler and hook transports of the device.
#include <chrono>

#include "device/DovraDevice.h"
#include "device/DovraDeviceInternal.h"
#include "device/PrintSpooler.h"
#include "device/TcpClient.h"

namespace dovra {

using namespace device_detail;

// ---- TCP ----------------------------------------------------------------------------------

void TDovraDevice::AtivarTCP() {
  const std::string address = porta_.size() > 4 ? porta_.substr(4, 255) : std::string();
  // The first colon separates host and port; a bracketed IPv6 literal keeps its own colons.
  std::size_t colon = address.find(':');
  if (address.starts_with('[')) {
    const std::size_t close = address.find(']');
    if (close != std::string::npos)
      colon = address.size() > close + 1 && address[close + 1] == ':' ? close + 1
                                                                      : std::string::npos;
  }
  if (colon == std::string::npos) colon = address.size();
  tcpPort_ = colon < address.size() ? address.substr(colon + 1, 5) : std::string();
  if (tcpPort_.empty()) tcpPort_ = "9100";
  tcpHost_ = address.substr(0, colon);

  TryCloseSocket();
  if (LogOn()) LogDeviceLine("  Socket.Connect(" + tcpHost_ + ", " + tcpPort_ + ")");
  socket_->SetConnectTimeoutMs(SecondsToMs(timeOut_));
  socket_->Connect(tcpHost_, tcpPort_);
  socket_->Purge();
}

void TDovraDevice::EnviaStringTCP(const std::string& cmd) {
  if (LogOn()) LogDeviceLine("EnviaStringTCP(" + cmd + ")", true);
  const std::size_t length = cmd.size();
  const std::size_t piece = PieceSize(length);
  for (std::size_t at = 0; at < length; at += piece) {
    if (LogOn()) LogDeviceLine("  BytesToSend:" + std::to_string(piece));
    socket_->SendString(cmd.substr(at, piece));
    if (sendBytesInterval_ > 0) {
      if (LogOn()) LogDeviceLine("  Sleep(" + std::to_string(sendBytesInterval_) + ")");
      Pause(sendBytesInterval_);
    }
  }
}

// ---- spooler ------------------------------------------------------------------------------

std::string TDovraDevice::NomeDocumento() {
  if (nomeDocumento_.empty()) nomeDocumento_ = "TDovraDevice";
  return nomeDocumento_;
}

void TDovraDevice::SetNomeDocumento(const std::string& value) {
  if (LogOn()) LogDeviceLine("SetNomeDocumento(" + value + ")");
  nomeDocumento_ = TrimBlanks(value);
}

std::string TDovraDevice::ShareNameOf(const std::string& printerName) {
  if (printerName.size() <= 2) return {};
  const std::string rest = printerName.substr(2);
  const std::size_t slash = rest.find('\\');
  return slash == std::string::npos ? rest : rest.substr(slash + 1);
}

int TDovraDevice::FindPrinterIndex(const std::string& name) {
  const std::vector<std::string> printers = spooler_->PrinterNames();
  for (std::size_t i = 0; i < printers.size(); ++i)
    if (EqualsNoCase(printers[i], name)) return static_cast<int>(i);
  for (std::size_t i = 0; i < printers.size(); ++i)
    if (printers[i].starts_with("\\\\") && EqualsNoCase(ShareNameOf(printers[i]), name))
      return static_cast<int>(i);
  return -1;
}

int TDovraDevice::GetPrinterRawIndex() {
  if (LogOn()) LogDeviceLine("GetPrinterRawIndex");
  std::string name = porta_;
  if (StartsWithNoCase(name, "RAW:")) name.erase(0, 4);
  int index;
  if (name == "*") {
    index = spooler_->DefaultPrinterIndex();
    if (index < 0) {
      if (spooler_->PrinterNames().empty())
        LogAndRaise(EDovraDeviceException("Erro Nenhuma impressora Padrão foi detectada"));
      index = 0;
    }
  } else {
    index = FindPrinterIndex(name);
    if (index < 0) LogAndRaise(EDovraDeviceException("Impressora não encontrada [" + name + "]"));
  }
  if (LogOn()) LogDeviceLine("  " + std::to_string(index));
  return index;
}

void TDovraDevice::EnviaStringRaw(const std::string& cmd) {
  if (LogOn()) LogDeviceLine("EnviaStringRaw(" + cmd + ")", true);
  const int index = GetPrinterRawIndex();
  const std::vector<std::string> printers = spooler_->PrinterNames();
  if (index < 0 || static_cast<std::size_t>(index) >= printers.size())
    LogAndRaise(EDovraDeviceException("Impressora não encontrada [" + porta_ + "]"));
  const std::string& printer = printers[static_cast<std::size_t>(index)];
  try {
    spooler_->SubmitRawDocument(printer, NomeDocumento(), cmd);
  } catch (const std::exception& e) {
    // A job the spooler refuses is reported, not lost silently.
    LogError(e);
    throw;
  }
}

// ---- hooks --------------------------------------------------------------------------------

void TDovraDevice::EnviaStringHook(const std::string& cmd) {
  if (!HookEnviaString) return;
  if (LogOn()) LogDeviceLine("EnviaStringHook(" + cmd + ")", true);
  HookEnviaString(cmd);
}

std::string TDovraDevice::LeStringHook(int aTimeOut, int numBytes, const std::string& terminador) {
  using Clock = std::chrono::steady_clock;
  std::string result;
  if (numBytes < 2) numBytes = 1;
  const auto deadline = Clock::now() + std::chrono::seconds(aTimeOut);
  do {
    std::string buffer;
    HookLeString(numBytes, aTimeOut, buffer);
    if (!terminador.empty() && !buffer.empty() && buffer.ends_with(terminador)) {
      buffer.erase(buffer.size() - terminador.size());
      numBytes = 0;
    }
    result += buffer;
  } while (result.size() < static_cast<std::size_t>(numBytes) && Clock::now() <= deadline);
  return result;
}

}  // namespace dovra
