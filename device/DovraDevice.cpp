// The device core: construction, port names and their kinds, activation, the dispatch of writes,
// the file and parallel writer, time-outs, copying and the device log.
#include "device/DovraDevice.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <thread>

#include "device/DovraDeviceInternal.h"
#include "device/PrintSpooler.h"
#include "device/SerialLine.h"
#include "device/TcpClient.h"
#include "util/BracketNotation.h"
#include "util/FileDescriptor.h"
#include "util/LogFile.h"
#include "util/TextFit.h"

namespace dovra {

namespace device_detail {

std::string Upper(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && Upper(text.substr(0, prefix.size())) == Upper(prefix);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Upper(a) == Upper(b);
}

// The number n of "<prefix>n" (n >= 1), or 0 when the rest is not such a number.
int PortNumber(const std::string& upperName, const std::string& prefix) {
  if (upperName.size() <= prefix.size() || upperName.size() > prefix.size() + 6 ||
      upperName.compare(0, prefix.size(), prefix) != 0)
    return 0;
  int n = 0;
  for (std::size_t i = prefix.size(); i < upperName.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(upperName[i]))) return 0;
    n = n * 10 + (upperName[i] - '0');
  }
  return n;
}

std::string TrimBlanks(const std::string& text) { return std::string(dovra::TrimBlanks(text)); }

int SecondsToMs(int seconds) {
  const long long ms = static_cast<long long>(seconds) * 1000;
  return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
}

}  // namespace device_detail

using namespace device_detail;

namespace {

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

TDovraDevice::TDovraDevice(TDovraComponent* owner)
    : TDovraComponent(owner),
      serial_(std::make_unique<TSerialLine>()),
      socket_(std::make_unique<TTcpClient>()),
      spooler_(SystemSpooler()) {
  serial_->SetRaiseErrors(true);
  socket_->SetRaiseErrors(true);
  SetDefaultValues();
}

TDovraDevice::~TDovraDevice() {
  if (LogOn()) LogDeviceLine("Destroy");
  serial_.reset();
  socket_.reset();
}

void TDovraDevice::SetDefaultValues() {
  if (LogOn()) LogDeviceLine("SetDefaultValues");
  hardFlow_ = false;
  softFlow_ = false;
  handShake_ = hsNenhum;
  parityLetter_ = 'N';
  data_ = 8;
  baud_ = 9600;
  stopCode_ = 0;
}

void TDovraDevice::SetSpooler(std::shared_ptr<IPrintSpooler> spooler) {
  spooler_ = spooler ? std::move(spooler) : SystemSpooler();
}

void TDovraDevice::SetSerialLine(std::unique_ptr<TSerialLine> line) {
  if (!line) return;
  line->SetOnStatus(serial_->OnStatus());
  line->SetSendLimit(serial_->SendLimit());
  line->SetRecvLimit(serial_->RecvLimit());
  line->SetWriteTimeoutMs(serial_->WriteTimeoutMs());
  line->SetRaiseErrors(true);
  serial_ = std::move(line);
}

void TDovraDevice::Pause(int ms) {
  if (ms <= 0) return;
  if (sleep_)
    sleep_(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::size_t TDovraDevice::PieceSize(std::size_t length) const {
  // A negative count would make the piece loops stand still: it means "all at once" too.
  return sendBytesCount_ > 0 ? static_cast<std::size_t>(sendBytesCount_) : length;
}

// ---- device log -------------------------------------------------------------------------

void TDovraDevice::LogDeviceLine(const std::string& text, bool translate) {
  if (!LogOn()) return;
  try {
    const std::string line =
        "-- " + LogTimestamp() + " " + (translate ? ToBracketNotation(text) : text);
    AppendLogText(arqLog_, line, false);
  } catch (...) {
    // The device log never fails its caller.
  }
}

void TDovraDevice::LogError(const std::exception& error) {
  if (LogOn()) LogDeviceLine(ErrorClassName(error) + ": " + error.what());
}

// ---- port names ---------------------------------------------------------------------------

void TDovraDevice::SetPorta(const std::string& value) {
  if (value == porta_) return;
  if (LogOn()) LogDeviceLine("SetPorta(" + value + ")");
  if (ativo_)
    LogAndRaise(EDovraDeviceException("Não é possível mudar a Porta com o Dispositivo Ativo"));
  const std::string upper = Upper(value);
  porta_ = upper.starts_with("LPT") || upper.starts_with("COM") ? upper : value;
  tipoPorta_ = DeduzirTipoPorta(porta_);
}

TDovraDeviceType TDovraDevice::DeduzirTipoPorta(const std::string& name) {
  if (LogOn()) LogDeviceLine("DeduzirTipoPorta(" + name + ")");
  const std::string upper = Upper(name);
  const auto deduce = [&]() -> TDovraDeviceType {
    if (name == "*") return dtRawPrinter;
    if (upper.starts_with("TCP:")) return dtTCP;
    if (upper.starts_with("RAW:")) return dtRawPrinter;
    if (upper.ends_with(".TXT")) return dtFile;
    if (upper.starts_with("FILE:")) return dtFile;
    if (upper.starts_with("LPT")) return dtParallel;
    if (upper.starts_with("COM")) return dtSerial;
    if (name.starts_with("\\\\.\\")) return dtSerial;
    if (name.starts_with("/dev/tty") || name.starts_with("/dev/rfcomm") ||
        name.starts_with("/dev/pts/"))
      return dtSerial;
    if (name.starts_with("/dev/lp") || name.starts_with("/dev/usb/lp")) return dtParallel;
    if (!upper.empty() && std::string("USB|DLL").find(upper.substr(0, 3)) != std::string::npos)
      return dtHook;
    std::vector<std::string> printers;
    try {
      printers = spooler_->PrinterNames();
    } catch (...) {
      // A spooler that does not answer has no printers.
    }
    for (const std::string& printer : printers)
      if (EqualsNoCase(printer, name)) return dtRawPrinter;
    if (name.find('\\') != std::string::npos || name.find('/') != std::string::npos)
      return dtFile;
    return dtRawPrinter;
  };
  const TDovraDeviceType kind = deduce();
  if (LogOn()) LogDeviceLine(std::string("  ") + NameOf(kind));
  return kind;
}

std::string TDovraDevice::GetPrinterFileName() {
  std::string name = porta_;
  if (StartsWithNoCase(name, "FILE:"))
    name.erase(0, 5);
  else if (tipoPorta_ == dtParallel) {
    if (const int n = PortNumber(Upper(name), "LPT"); n > 0)
      name = "/dev/lp" + std::to_string(n - 1);
  }
  if (LogOn()) LogDeviceLine("GetPrinterFileName: " + name);
  return name;
}

// ---- activation ---------------------------------------------------------------------------

void TDovraDevice::Ativar() {
  if (ativo_) return;
  if (LogOn()) LogDeviceLine("Ativar - Porta:" + porta_);
  if (porta_.empty()) LogAndRaise(EDovraDeviceException("Porta não definida"));
  switch (tipoPorta_) {
    case dtFile:
    case dtParallel:
      AtivarArquivo();
      break;
    case dtSerial:
      AtivarSerial();
      break;
    case dtTCP:
      AtivarTCP();
      break;
    case dtRawPrinter:
      GetPrinterRawIndex();
      break;
    case dtHook:
      if (HookAtivar) HookAtivar(porta_, DeviceToString(false));
      break;
  }
  ativo_ = true;
}

void TDovraDevice::AtivarArquivo() {
  const std::string fileName = GetPrinterFileName();
  if (LogOn()) LogDeviceLine("  NomeArq: " + fileName);
  if (tipoPorta_ == dtFile && FileExists(fileName)) {
    if (LogOn()) LogDeviceLine("  DeleteFile(" + fileName + ")");
    std::remove(fileName.c_str());  // a file that cannot be deleted is appended to instead
  }
  try {
    EnviaStringArquivo("");
  } catch (const EFileError& e) {
    const bool openFailure = e.ClassName() == "EFCreateError" || e.ClassName() == "EFOpenError";
    if (openFailure && tipoPorta_ == dtParallel)
      LogAndRaise(EDovraDeviceException("Porta " + porta_ + " não acessível"));
    if (openFailure) LogAndRaise(EDovraDeviceException(e.what()));
    LogAndRaise(EDovraDeviceException(e.ClassName() + ": " + e.what()));
  } catch (const std::exception& e) {
    LogAndRaise(EDovraDeviceException(ErrorClassName(e) + ": " + e.what()));
  }
}

void TDovraDevice::Desativar() {
  if (!ativo_) return;
  if (LogOn()) LogDeviceLine("Desativar");
  if (tipoPorta_ == dtHook) {
    if (HookDesativar) HookDesativar(porta_);
  } else {
    TryCloseSocket();
  }
  ativo_ = false;
}

void TDovraDevice::TryCloseSocket() {
  if (tipoPorta_ == dtSerial) {
    if (LogOn()) LogDeviceLine("TryCloseSocket - Serial");
    serial_->SetRaiseErrors(false);
    try {
      if (LogOn()) LogDeviceLine("  Serial.InstanceActive");
      if (serial_->IsOpen()) {
        if (LogOn()) LogDeviceLine("  Serial.CloseSocket");
        serial_->Close();
      }
    } catch (...) {
      serial_->SetRaiseErrors(true);
      throw;
    }
    serial_->SetRaiseErrors(true);
  } else if (tipoPorta_ == dtTCP) {
    if (LogOn()) LogDeviceLine("TryCloseSocket - TCP");
    socket_->SetRaiseErrors(false);
    try {
      socket_->Close();
    } catch (...) {
      socket_->SetRaiseErrors(true);
      throw;
    }
    socket_->SetRaiseErrors(true);
  }
}

// ---- writing ------------------------------------------------------------------------------

void TDovraDevice::EnviaString(const std::string& cmd) {
  if (LogOn()) LogDeviceLine("EnviaString(" + cmd + ")", true);
  switch (tipoPorta_) {
    case dtSerial: EnviaStringSerial(cmd); break;
    case dtTCP: EnviaStringTCP(cmd); break;
    case dtRawPrinter: EnviaStringRaw(cmd); break;
    case dtHook: EnviaStringHook(cmd); break;
    case dtFile:
    case dtParallel: EnviaStringArquivo(cmd); break;
  }
}

void TDovraDevice::EnviaStringArquivo(const std::string& cmd) {
  if (LogOn()) LogDeviceLine("EnviaStringArquivo(" + cmd + ")", true);
  const std::size_t length = cmd.size();
  const std::size_t piece = PieceSize(length);
  const std::string fileName = GetPrinterFileName();

  // A parallel port is a device node: it is opened, never created.
  const bool append = tipoPorta_ == dtFile && FileExists(fileName);
  int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC;
  if (append)
    flags |= O_APPEND;
  else if (tipoPorta_ == dtFile)
    flags |= O_CREAT | O_TRUNC;
  OutputFile file(fileName, flags, append);

  for (std::size_t at = 0; at < length; at += piece) {
    file.Write(std::string_view(cmd).substr(at, std::min(piece, length - at)));
    if (sendBytesInterval_ > 0) Pause(sendBytesInterval_);
  }
  file.Close();
}

// ---- time-outs ----------------------------------------------------------------------------

int TDovraDevice::GetTimeOutMilissegundos() const {
  if (tipoPorta_ == dtTCP) return socket_->ConnectTimeoutMs();
  if (tipoPorta_ == dtSerial) return serial_->WriteTimeoutMs();
  return timeOut_;
}

void TDovraDevice::SetTimeOutMilissegundos(int ms) {
  if (LogOn()) LogDeviceLine("SetTimeOutMilissegundos(" + std::to_string(ms) + ")");
  if (tipoPorta_ == dtTCP) {
    socket_->SetConnectTimeoutMs(ms);
    timeOut_ = std::max(ms / 1000, 0);
  } else if (tipoPorta_ == dtSerial) {
    serial_->SetWriteTimeoutMs(ms);
    timeOut_ = std::max(ms / 1000, 1);
  } else {
    timeOut_ = ms;
  }
}

// ---- copying ------------------------------------------------------------------------------

void TDovraDevice::Assign(const TDovraDevice& source) {
  if (&source == this) return;
  SetBaud(source.Baud());
  SetData(source.Data());
  SetParity(source.Parity());
  SetStop(source.Stop());
  SetMaxBandwidth(source.MaxBandwidth());
  sendBytesCount_ = source.sendBytesCount_;
  sendBytesInterval_ = source.sendBytesInterval_;
  SetHandShake(source.HandShake());
  SetSoftFlow(source.SoftFlow());
  SetHardFlow(source.HardFlow());
  processMessages_ = source.processMessages_;
  SetOnStatus(source.OnStatus());
  HookEnviaString = source.HookEnviaString;
  HookLeString = source.HookLeString;
}

}  // namespace dovra
