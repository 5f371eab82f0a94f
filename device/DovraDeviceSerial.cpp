// The serial side of the device: settings and their validation, the parameter string, opening
// and configuring the line, writing in pieces, reading for every kind of port, purging and
// serial-port discovery.
#include <algorithm>
#include <cerrno>
#include <climits>

#include "device/DovraDevice.h"
#include "device/DovraDeviceInternal.h"
#include "device/SerialLine.h"
#include "device/TcpClient.h"
#include "util/BracketNotation.h"

namespace dovra {

using namespace device_detail;

namespace {

const char* const kBaudRangeMessage =
    "Valor deve estar na faixa de 50 a 4000000.\nNormalmente os equipamentos Seriais utilizam: "
    "9600";
const char* const kDataRangeMessage =
    "Valor deve estar na faixa de 5 a 8.\nNormalmente os equipamentos Seriais utilizam: 7 ou 8";

// The value after a key: "KEY=V", "KEY = V" and "KEY V" all give V.
std::string ParamValue(const std::string& upper, const std::string& key) {
  const std::size_t at = upper.find(key);
  if (at == std::string::npos) return {};
  std::string rest = TrimBlanks(upper.substr(at + key.size(), 200));
  if (!rest.empty() && rest[0] == '=') rest = TrimBlanks(rest.substr(1, 200));
  return TrimBlanks(rest.substr(0, rest.find(' ')));
}

// A decimal integer with an optional sign that fits in 32 bits, or `fallback`.
int IntOr(const std::string& text, int fallback) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return fallback;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return fallback;
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return fallback;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return fallback;
  return static_cast<int>(value);
}

// The device path of a serial port name: COMn and \\.\COMn are /dev/ttyS(n-1), other
// \\.\ names are looked up in /dev, and anything else is a path already.
std::string SerialPathOf(const std::string& porta) {
  std::string name = porta;
  const bool devicePath = name.starts_with("\\\\.\\");
  if (devicePath) name.erase(0, 4);
  if (const int n = PortNumber(Upper(name), "COM"); n > 0) return "/dev/ttyS" + std::to_string(n - 1);
  return devicePath ? "/dev/" + name : porta;
}

}  // namespace

// ---- settings -----------------------------------------------------------------------------

TDovraSerialParity TDovraDevice::Parity() const {
  switch (parityLetter_) {
    case 'E': return pEven;
    case 'M': return pMark;
    case 'O': return pOdd;
    case 'S': return pSpace;
    default: return pNone;
  }
}

TDovraSerialStop TDovraDevice::Stop() const {
  switch (stopCode_) {
    case 1: return s1eMeio;
    case 2: return s2;
    default: return s1;
  }
}

void TDovraDevice::SetBaud(int value) {
  if (value == baud_) return;
  if (LogOn()) LogDeviceLine("SetBaud(" + std::to_string(value) + ")");
  if (value < 50 || value > 4000000) LogAndRaise(EDovraDeviceException(kBaudRangeMessage));
  baud_ = value;
  ConfiguraSerial();
}

void TDovraDevice::SetData(int value) {
  if (value == data_) return;
  if (LogOn()) LogDeviceLine("SetData(" + std::to_string(value) + ")");
  if (value < 5 || value > 8) LogAndRaise(EDovraDeviceException(kDataRangeMessage));
  data_ = value;
  ConfiguraSerial();
}

void TDovraDevice::SetParity(TDovraSerialParity value) {
  if (value == Parity()) return;
  if (LogOn()) LogDeviceLine(std::string("SetParity(") + NameOf(value) + ")");
  switch (value) {
    case pOdd: parityLetter_ = 'O'; break;
    case pEven: parityLetter_ = 'E'; break;
    case pMark: parityLetter_ = 'M'; break;
    case pSpace: parityLetter_ = 'S'; break;
    default: parityLetter_ = 'N'; break;
  }
  ConfiguraSerial();
}

void TDovraDevice::SetStop(TDovraSerialStop value) {
  if (value == Stop()) return;
  if (LogOn()) LogDeviceLine(std::string("SetStop(") + NameOf(value) + ")");
  stopCode_ = value == s1eMeio ? 1 : value == s2 ? 2 : 0;
  ConfiguraSerial();
}

void TDovraDevice::SetHandShake(TDovraHandShake value) {
  if (LogOn()) LogDeviceLine(std::string("SetHandShake(") + NameOf(value) + ")");
  hardFlow_ = value == hsRTS_CTS;
  softFlow_ = value == hsXON_XOFF;
  handShake_ = value;
  ConfiguraSerial();
}

void TDovraDevice::SetHardFlow(bool value) {
  if (LogOn()) LogDeviceLine(std::string("SetHardFlow(") + (value ? "True" : "False") + ")");
  if (value)
    SetHandShake(hsRTS_CTS);
  else if (handShake_ == hsRTS_CTS)
    SetHandShake(hsNenhum);
}

void TDovraDevice::SetSoftFlow(bool value) {
  if (LogOn()) LogDeviceLine(std::string("SetSoftFlow(") + (value ? "True" : "False") + ")");
  if (value)
    SetHandShake(hsXON_XOFF);
  else if (handShake_ == hsXON_XOFF)
    SetHandShake(hsNenhum);
}

int TDovraDevice::MaxBandwidth() const {
  return tipoPorta_ == dtTCP ? socket_->SendLimit() : serial_->SendLimit();
}

void TDovraDevice::SetMaxBandwidth(int value) {
  if (LogOn()) LogDeviceLine("SetMaxBandwidth(" + std::to_string(value) + ")");
  TFdStream& stream = tipoPorta_ == dtTCP ? static_cast<TFdStream&>(*socket_) : *serial_;
  stream.SetSendLimit(value);
  stream.SetRecvLimit(value);
}

TSerialStatusEvent TDovraDevice::OnStatus() const { return serial_->OnStatus(); }
void TDovraDevice::SetOnStatus(TSerialStatusEvent handler) { serial_->SetOnStatus(std::move(handler)); }

void TDovraDevice::ConfiguraSerial() {
  if (!serial_->IsOpen()) return;
  if (LogOn()) LogDeviceLine("ConfiguraSerial");
  serial_->Configure(baud_, data_, parityLetter_, stopCode_, softFlow_, hardFlow_);
  if (stopCode_ == 1 && LogOn())
    LogDeviceLine("  Serial.Stop: 1,5 stop bits não existe nesta linha; usando 2");
  if (handShake_ == hsRTS_CTS) {
    if (LogOn()) LogDeviceLine("  Serial.RTS");
    if (!serial_->SetRTS(true) && LogOn()) LogDeviceLine("  Serial.RTS não suportado por esta linha");
  } else if (handShake_ == hsDTR_DSR) {
    if (LogOn()) LogDeviceLine("  Serial.DTR");
    if (!serial_->SetDTR(true) && LogOn()) LogDeviceLine("  Serial.DTR não suportado por esta linha");
  }
}

// ---- opening ------------------------------------------------------------------------------

void TDovraDevice::AtivarSerial() {
  TryCloseSocket();
  if (LogOn()) LogDeviceLine("  Serial.Connect(" + porta_ + ")");
  serial_->SetWriteTimeoutMs(SecondsToMs(timeOut_));
  try {
    serial_->Open(SerialPathOf(porta_));
    ConfiguraSerial();
    serial_->Purge();
  } catch (const EDovraStreamError& e) {
    const std::string message = serial_->LastError() == TSerialLine::kNotFoundCode
                                    ? "Porta " + porta_ + " não encontrada"
                                    : std::string(e.what());
    TryCloseSocket();
    LogAndRaise(EDovraDeviceException(message));
  } catch (const std::exception& e) {
    TryCloseSocket();
    LogAndRaise(EDovraDeviceException(ErrorClassName(e) + ": " + e.what()));
  }
}

// ---- parameter string ---------------------------------------------------------------------

std::string TDovraDevice::DeviceToString(bool onlyDiff) {
  std::string text;
  if (!onlyDiff || baud_ != 9600) text += " BAUD=" + std::to_string(baud_);
  if (!onlyDiff || data_ != 8) text += " DATA=" + std::to_string(data_);
  if (!onlyDiff || parityLetter_ != 'N') text += std::string(" PARITY=") + parityLetter_;
  if (!onlyDiff || stopCode_ != 0)
    text += std::string(" STOP=") + (stopCode_ == 1 ? "1,5" : stopCode_ == 2 ? "2" : "1");
  if (!onlyDiff || handShake_ != hsNenhum) {
    text += " HANDSHAKE=";
    switch (handShake_) {
      case hsXON_XOFF: text += "XON/XOFF"; break;
      case hsRTS_CTS: text += "RTS/CTS"; break;
      case hsDTR_DSR: text += "DTR/DSR"; break;
      case hsNenhum: break;
    }
  }
  if (hardFlow_) text += " HARDFLOW";
  if (softFlow_) text += " SOFTFLOW";
  const int bandwidth = MaxBandwidth();
  if (!onlyDiff || bandwidth > 0) text += " MAXBANDWIDTH=" + std::to_string(bandwidth);
  if (!onlyDiff || sendBytesCount_ > 0) text += " SENDBYTESCOUNT=" + std::to_string(sendBytesCount_);
  if (!onlyDiff || sendBytesInterval_ > 0)
    text += " SENDBYTESINTERVAL=" + std::to_string(sendBytesInterval_);
  text = TrimBlanks(text);
  if (LogOn()) LogDeviceLine("DeviceToString: " + text);
  return text;
}

void TDovraDevice::SetParamsString(const std::string& value) {
  if (LogOn()) LogDeviceLine("SetParamsString(" + value + ")");
  SetDefaultValues();
  const std::string upper = TrimBlanks(Upper(value));

  SetBaud(IntOr(ParamValue(upper, "BAUD"), baud_));

  const std::string parity = ParamValue(upper, "PARITY");
  if (!parity.empty() && std::string("EMNOS").find(parity[0]) != std::string::npos)
    parityLetter_ = parity[0];

  SetData(IntOr(ParamValue(upper, "DATA"), data_));

  const std::string stop = ParamValue(upper, "STOP");
  if (stop == "1")
    SetStop(s1);
  else if (stop == "1,5")
    SetStop(s1eMeio);
  else if (stop == "2")
    SetStop(s2);

  SetHardFlow(upper.find("HARDFLOW") != std::string::npos);
  SetSoftFlow(upper.find("SOFTFLOW") != std::string::npos);

  const std::string handShake = ParamValue(upper, "HANDSHAKE");
  if (handShake == "XON/XOFF")
    SetHandShake(hsXON_XOFF);
  else if (handShake == "DTR/DSR")
    SetHandShake(hsDTR_DSR);
  else if (handShake == "RTS/CTS")
    SetHandShake(hsRTS_CTS);

  SetMaxBandwidth(IntOr(ParamValue(upper, "MAXBANDWIDTH"), MaxBandwidth()));
  sendBytesCount_ = IntOr(ParamValue(upper, "SENDBYTESCOUNT"), sendBytesCount_);
  sendBytesInterval_ = IntOr(ParamValue(upper, "SENDBYTESINTERVAL"), sendBytesInterval_);
}

// ---- writing and reading ------------------------------------------------------------------

void TDovraDevice::EnviaStringSerial(const std::string& cmd) {
  if (LogOn()) LogDeviceLine("EnviaStringSerial(" + cmd + ")", true);
  const std::size_t length = cmd.size();
  std::size_t at = 0;
  int failCount = 0;
  while (at < length && failCount < 10) {
    const std::size_t wanted = PieceSize(length);
    if (LogOn()) LogDeviceLine("  BytesToSend:" + std::to_string(wanted));
    const std::string piece = cmd.substr(at, wanted);
    const std::size_t sent = std::min(serial_->WriteBlock(piece), piece.size());
    if (sent > 0) {
      failCount = 0;
    } else {
      ++failCount;
      if (LogOn()) LogDeviceLine("  FailCount:" + std::to_string(failCount));
    }
    if (sendBytesInterval_ > 0) {
      if (LogOn()) LogDeviceLine("  Sleep(" + std::to_string(sendBytesInterval_) + ")");
      Pause(sendBytesInterval_);
    }
    at += sent;
  }
  if (failCount >= 10)
    LogAndRaise(EDovraDeviceException("Erro ao enviar dados para a porta: " + porta_));
}

std::string TDovraDevice::LeString(int aTimeOut, int numBytes, const std::string& terminador) {
  if (LogOn())
    LogDeviceLine("LeString(" + std::to_string(aTimeOut) + ", " + std::to_string(numBytes) +
                      ", " + terminador + ")",
                  true);
  std::string result;
  if (aTimeOut == 0) aTimeOut = timeOut_;
  switch (tipoPorta_) {
    case dtSerial:
    case dtTCP: {
      TFdStream& stream = tipoPorta_ == dtTCP ? static_cast<TFdStream&>(*socket_) : *serial_;
      if (numBytes > 0)
        result = stream.ReadCount(static_cast<std::size_t>(numBytes), aTimeOut);
      else if (!terminador.empty())
        result = stream.ReadUntil(terminador, aTimeOut);
      else
        result = stream.ReadAvailable(aTimeOut);
      break;
    }
    case dtHook:
      if (HookLeString) result = LeStringHook(aTimeOut, numBytes, terminador);
      break;
    case dtFile:
    case dtParallel:
    case dtRawPrinter:
      break;
  }
  if (LogOn()) LogDeviceLine("  " + result, true);
  return result;
}

void TDovraDevice::Limpar() {
  if (LogOn()) LogDeviceLine("Limpar");
  if (tipoPorta_ == dtSerial)
    serial_->Purge();
  else if (tipoPorta_ == dtTCP)
    socket_->Purge();
}

void TDovraDevice::AcharPortasSeriais(std::vector<std::string>& list, int highest) {
  if (LogOn()) LogDeviceLine("AcharPortasSeriais(" + std::to_string(highest) + ")");
  list.clear();
  try {
    list = FindSerialPorts(highest);
  } catch (...) {
    // Discovery lists what it can; a failure leaves the list as far as it got (empty).
  }
}

}  // namespace dovra
