#pragma once

#include <functional>
#include <string>
#include <vector>

#include "device/FdStream.h"

struct termios;

namespace dovra {

// A serial line over POSIX termios (ttyS, ttyUSB, ttyACM, rfcomm, pseudo-terminals).
// Reads and writes follow the rules of TFdStream. Errors carry the class name "ESerialError";
// opening a line that does not exist fails with code kNotFoundCode.
class TSerialLine : public TFdStream {
 public:
  static constexpr int kNotFoundCode = 2;

  TSerialLine() = default;
  ~TSerialLine() override;

  // Opens the device path (closing any line opened before). The line is left as the driver
  // has it until Configure.
  virtual void Open(const std::string& path);
  const std::string& Path() const { return path_; }

  // Raw 8-bit line with the given settings. Speeds outside the standard table (up to 4000000)
  // are set through termios2. parity: N, O, E, M (mark) or S (space). stopCode: 0 = 1 stop
  // bit, 1 = 1.5 (the line has no such setting: 2 are used), 2 = 2 stop bits.
  virtual void Configure(int baud, int dataBits, char parity, int stopCode, bool softFlow,
                         bool hardFlow);
  // Raise or drop the modem lines. False when the line has no such control (a
  // pseudo-terminal); other failures raise.
  virtual bool SetRTS(bool on);
  virtual bool SetDTR(bool on);
  // Discards the driver's input and output queues and every buffered, unread byte.
  virtual void Purge();
  // Writes a block within the write time-out and returns the count written.
  virtual std::size_t WriteBlock(const std::string& data) { return Write(data); }

 protected:
  std::string EndpointName() const override { return path_; }
  std::string ErrorClassName() const override { return "ESerialError"; }
  // Hands the attributes Configure built to the driver (tcsetattr); 0 or an errno. Some
  // drivers keep only part of them (a pseudo-terminal is always 8 bits without parity).
  virtual int SetAttributes(int fd, const ::termios& attributes);

 private:
  bool SetModemLine(int bit, bool on);

  std::string path_;
};

// Serial-port discovery. `hardwareBacked(path)` tells whether a ttyS node has a real UART
// behind it; the default opens the node and asks the driver (TIOCGSERIAL), counting a node
// that another program holds (EBUSY) as present.
using TSerialHardwareProbe = std::function<bool(const std::string& devicePath)>;
bool SerialPortHasHardware(const std::string& devicePath);

// "COM"n for every ttyS(n-1), n = 1..highest, that sysfs shows with a device and the probe
// accepts; then the paths of the USB and ACM adapters present (ttyUSB*, ttyACM*), each group
// in numeric order.
std::vector<std::string> FindSerialPorts(int highest, const std::string& devRoot = "/dev",
                                         const std::string& sysRoot = "/sys",
                                         const TSerialHardwareProbe& hardwareBacked = {});

namespace detail {
// Sets a speed outside the standard table through TCGETS2/TCSETS2 with BOTHER; returns 0 or
// the errno of the failure.
int SetCustomSpeed(int fd, int baud);
}  // namespace detail

}  // namespace dovra
