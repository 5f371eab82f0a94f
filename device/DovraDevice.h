#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/DovraDeviceTypes.h"
#include "util/DovraComponent.h"

namespace dovra {

class TSerialLine;
class TTcpClient;
class IPrintSpooler;

// The port through which the printer engine reaches the printer. It holds one port name,
// deduces its kind, opens and closes it, writes bytes and reads bytes back.
//
// Port names: "COM"n (opened as /dev/ttyS(n-1)), "\\.\" device paths, /dev/tty*, /dev/rfcomm*,
// /dev/pts/* (serial); "LPT"n (/dev/lp(n-1)), /dev/lp*, /dev/usb/lp* (parallel); "TCP:host[:port]";
// "RAW:name", "RAW:*", "*" or a spooler printer's name (CUPS, raw data); "FILE:path", names
// ending in ".TXT" and paths with "\" or "/" (file); names beginning with "USB"/"DLL" (hooks).
//
// EnviaString and LeString do not test Ativo: the caller opens the port first.
class TDovraDevice : public TDovraComponent {
 public:
  explicit TDovraDevice(TDovraComponent* owner = nullptr);
  ~TDovraDevice() override;

  // Serial settings (validated and applied to an open line at once).
  int Baud() const { return baud_; }
  void SetBaud(int value);
  int Data() const { return data_; }
  void SetData(int value);
  TDovraSerialParity Parity() const;
  void SetParity(TDovraSerialParity value);
  TDovraSerialStop Stop() const;
  void SetStop(TDovraSerialStop value);
  int MaxBandwidth() const;
  void SetMaxBandwidth(int value);
  int SendBytesCount() const { return sendBytesCount_; }
  void SetSendBytesCount(int value) { sendBytesCount_ = value; }
  int SendBytesInterval() const { return sendBytesInterval_; }
  void SetSendBytesInterval(int value) { sendBytesInterval_ = value; }
  TDovraHandShake HandShake() const { return handShake_; }
  void SetHandShake(TDovraHandShake value);
  bool SoftFlow() const { return softFlow_; }
  void SetSoftFlow(bool value);
  bool HardFlow() const { return hardFlow_; }
  void SetHardFlow(bool value);
  char ParityLetter() const { return parityLetter_; }
  int StopCode() const { return stopCode_; }

  // Spooler document name; reads "TDovraDevice" (and keeps it) when empty.
  std::string NomeDocumento();
  void SetNomeDocumento(const std::string& value);
  bool ProcessMessages() const { return processMessages_; }
  void SetProcessMessages(bool value) { processMessages_ = value; }
  TSerialStatusEvent OnStatus() const;
  void SetOnStatus(TSerialStatusEvent handler);

  TDovraDeviceHookAtivar HookAtivar;
  TDovraDeviceHookDesativar HookDesativar;
  TDovraDeviceHookEnviaString HookEnviaString;
  TDovraDeviceHookLeString HookLeString;

  // Device log file; empty = no device log (nothing is formatted then).
  const std::string& ArqLOG() const { return arqLog_; }
  void SetArqLOG(const std::string& value) { arqLog_ = value; }

  const std::string& Porta() const { return porta_; }
  void SetPorta(const std::string& value);
  TDovraDeviceType TipoPorta() const { return tipoPorta_; }
  int TimeOut() const { return timeOut_; }
  void SetTimeOut(int seconds) { timeOut_ = seconds; }
  bool Ativo() const { return ativo_; }
  const std::string& TCPHost() const { return tcpHost_; }
  const std::string& TCPPort() const { return tcpPort_; }
  int GetTimeOutMilissegundos() const;
  void SetTimeOutMilissegundos(int ms);
  std::string ParamsString() { return DeviceToString(true); }
  void SetParamsString(const std::string& value);

  bool IsSerial() const { return tipoPorta_ == dtSerial; }
  bool IsTCP() const { return tipoPorta_ == dtTCP; }
  bool IsFile() const { return tipoPorta_ == dtFile; }
  bool IsHook() const { return tipoPorta_ == dtHook; }

  void SetDefaultValues();
  TDovraDeviceType DeduzirTipoPorta(const std::string& name);
  void Ativar();
  void Desativar();
  void EnviaString(const std::string& cmd);
  // aTimeOut: ms for serial and TCP, seconds for hooks; 0 = the number in TimeOut.
  std::string LeString(int aTimeOut = 0, int numBytes = 0, const std::string& terminador = "");
  void Limpar();
  // Serial ports that really exist: COMn for hardware-backed /dev/ttyS(n-1) up to `highest`,
  // then present USB and ACM adapters (/dev/ttyUSB*, /dev/ttyACM*).
  void AcharPortasSeriais(std::vector<std::string>& list, int highest);
  std::string DeviceToString(bool onlyDiff);
  std::string GetPrinterFileName();
  int GetPrinterRawIndex();
  int FindPrinterIndex(const std::string& name);
  static std::string ShareNameOf(const std::string& printerName);
  void Assign(const TDovraDevice& source);

  // Seams for tests and embedders: the spooler consulted for printer names and raw jobs,
  // and the pause used between pieces of a write.
  void SetSpooler(std::shared_ptr<IPrintSpooler> spooler);
  IPrintSpooler& Spooler() const { return *spooler_; }
  void SetSleepFunction(std::function<void(int ms)> sleep) { sleep_ = std::move(sleep); }
  TSerialLine& SerialLine() { return *serial_; }
  TTcpClient& TcpClient() { return *socket_; }
  // Replaces the serial-line object (a line of another make, or a scripted one in tests); the
  // status callback and the bandwidth limits move to the new object.
  void SetSerialLine(std::unique_ptr<TSerialLine> line);

 private:
  // Device log: nothing is built unless ArqLOG is set.
  bool LogOn() const { return !arqLog_.empty(); }
  void LogDeviceLine(const std::string& text, bool translate = false);
  void LogError(const std::exception& error);
  template <class Error>
  [[noreturn]] void LogAndRaise(const Error& error) {
    LogError(error);
    throw error;
  }
  void Pause(int ms);

  void TryCloseSocket();
  void ConfiguraSerial();
  void AtivarArquivo();
  void AtivarSerial();
  void AtivarTCP();
  void EnviaStringArquivo(const std::string& cmd);
  void EnviaStringSerial(const std::string& cmd);
  void EnviaStringTCP(const std::string& cmd);
  void EnviaStringRaw(const std::string& cmd);
  void EnviaStringHook(const std::string& cmd);
  std::string LeStringHook(int aTimeOut, int numBytes, const std::string& terminador);
  std::size_t PieceSize(std::size_t length) const;

  std::unique_ptr<TSerialLine> serial_;
  std::unique_ptr<TTcpClient> socket_;
  std::shared_ptr<IPrintSpooler> spooler_;
  std::function<void(int)> sleep_;

  int baud_ = 9600;
  int data_ = 8;
  char parityLetter_ = 'N';
  int stopCode_ = 0;
  int sendBytesCount_ = 0;
  int sendBytesInterval_ = 0;
  TDovraHandShake handShake_ = hsNenhum;
  bool softFlow_ = false;
  bool hardFlow_ = false;
  std::string nomeDocumento_;
  bool processMessages_ = true;
  std::string arqLog_;
  std::string porta_;
  TDovraDeviceType tipoPorta_ = dtFile;
  int timeOut_ = 3;
  bool ativo_ = false;
  std::string tcpHost_;
  std::string tcpPort_;
};

}  // namespace dovra
