#include "device/SerialLine.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>

#include "util/FileDescriptor.h"

namespace dovra {

namespace {

// The speeds termios names; any other rate goes through termios2.
speed_t StandardSpeed(int baud) {
  switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
    case 1152000: return B1152000;
    case 1500000: return B1500000;
    case 2000000: return B2000000;
    case 2500000: return B2500000;
    case 3000000: return B3000000;
    case 3500000: return B3500000;
    case 4000000: return B4000000;
    default: return B0;
  }
}

tcflag_t DataBitsFlag(int dataBits) {
  switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

}  // namespace

TSerialLine::~TSerialLine() { Close(); }

void TSerialLine::Open(const std::string& path) {
  Close();
  ClearError();
  path_ = path;
  FileDescriptor fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) {
    const int err = errno;
    const bool missing = err == ENOENT || err == ENODEV || err == ENXIO;
    Fail(missing ? kNotFoundCode : err,
         "Não foi possível abrir " + path + ": " + SystemReason(err));
    return;
  }
  if (!::isatty(fd.Get())) {
    fd.Close();
    Fail(ENOTTY, "Não foi possível abrir " + path + ": não é uma linha serial");
    return;
  }
  Attach(fd.Release());
  Notify(TSerialStatusReason::Open, path);
}

void TSerialLine::Configure(int baud, int dataBits, char parity, int stopCode, bool softFlow,
                            bool hardFlow) {
  ClearError();
  if (!IsOpen()) {
    Fail(kClosedCode, "Porta não aberta: " + path_);
    return;
  }
  if (baud < 50 || baud > 4000000 || dataBits < 5 || dataBits > 8) {
    Fail(EINVAL, "Configuração inválida para " + path_ + ": " + std::to_string(baud) + " " +
                     std::to_string(dataBits));
    return;
  }
  termios tio{};
  if (::tcgetattr(Fd(), &tio) != 0) {
    Fail(errno, "Erro ao ler a configuração de " + path_ + ": " + SystemReason(errno));
    return;
  }
  // Raw bytes in both directions: no line editing, echo, signals or CR/LF translation.
  tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | INPCK);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= DataBitsFlag(dataBits) | CREAD | CLOCAL;
  switch (std::toupper(static_cast<unsigned char>(parity))) {
    case 'O': tio.c_cflag |= PARENB | PARODD; break;
    case 'E': tio.c_cflag |= PARENB; break;
    case 'M': tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 'S': tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (tio.c_cflag & PARENB) tio.c_iflag |= INPCK;
  if (stopCode == 1 || stopCode == 2) tio.c_cflag |= CSTOPB;
  if (softFlow) tio.c_iflag |= IXON | IXOFF;
  if (hardFlow) tio.c_cflag |= CRTSCTS;
  // Reads never wait inside the driver: the descriptor is non-blocking and poll keeps time.
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;

  const speed_t standard = StandardSpeed(baud);
  const speed_t speed = standard != B0 ? standard : B38400;  // replaced below by the exact rate
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  if (const int err = SetAttributes(Fd(), tio); err != 0) {
    Fail(err, "Erro ao configurar " + path_ + ": " + SystemReason(err));
    return;
  }
  if (standard == B0) {
    if (const int err = detail::SetCustomSpeed(Fd(), baud); err != 0) {
      Fail(err, "Velocidade " + std::to_string(baud) + " não aceita por " + path_ + ": " +
                    SystemReason(err));
      return;
    }
  }
  std::string settings = std::to_string(baud) + " " + std::to_string(dataBits) +
                         static_cast<char>(std::toupper(static_cast<unsigned char>(parity))) +
                         (stopCode == 0 ? "1" : "2");
  if (softFlow) settings += " XON/XOFF";
  if (hardFlow) settings += " RTS/CTS";
  Notify(TSerialStatusReason::Configure, settings);
}

int TSerialLine::SetAttributes(int fd, const termios& attributes) {
  return ::tcsetattr(fd, TCSANOW, &attributes) == 0 ? 0 : errno;
}

bool TSerialLine::SetModemLine(int bit, bool on) {
  ClearError();
  if (!IsOpen()) {
    Fail(kClosedCode, "Porta não aberta: " + path_);
    return false;
  }
  int bits = bit;
  if (::ioctl(Fd(), on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
  const int err = errno;
  if (err == ENOTTY || err == EINVAL) return false;
  Fail(err, "Erro ao mudar as linhas de controle de " + path_ + ": " + SystemReason(err));
  return false;
}

bool TSerialLine::SetRTS(bool on) { return SetModemLine(TIOCM_RTS, on); }
bool TSerialLine::SetDTR(bool on) { return SetModemLine(TIOCM_DTR, on); }

void TSerialLine::Purge() {
  ClearError();
  if (!IsOpen()) {
    Fail(kClosedCode, "Porta não aberta: " + path_);
    return;
  }
  if (::tcflush(Fd(), TCIOFLUSH) != 0) {
    Fail(errno, "Erro ao limpar " + path_ + ": " + SystemReason(errno));
    return;
  }
  DiscardInput();
  Notify(TSerialStatusReason::Purge, path_);
}

bool SerialPortHasHardware(const std::string& devicePath) {
  const FileDescriptor fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) return errno == EBUSY;
  serial_struct info{};
  return ::ioctl(fd.Get(), TIOCGSERIAL, &info) != 0 || info.type != PORT_UNKNOWN;
}

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// Numbers n of the entries named prefix + n in a folder, in numeric order.
std::vector<long> NumberedEntries(const std::string& folder, const std::string& prefix,
                                  const std::vector<std::string>& names) {
  std::vector<long> numbers;
  for (const std::string& name : names) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
      continue;
    if (Exists(folder + "/" + name)) numbers.push_back(std::stol(digits));
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace

std::vector<std::string> FindSerialPorts(int highest, const std::string& devRoot,
                                         const std::string& sysRoot,
                                         const TSerialHardwareProbe& hardwareBacked) {
  std::vector<std::string> ports;
  const TSerialHardwareProbe& probe =
      hardwareBacked ? hardwareBacked : TSerialHardwareProbe(SerialPortHasHardware);
  // The kernel creates ttyS0..31 whether or not a UART is there; sysfs and the driver tell.
  for (int n = 1; n <= highest; ++n) {
    const std::string node = "ttyS" + std::to_string(n - 1);
    if (!Exists(sysRoot + "/class/tty/" + node + "/device")) continue;
    try {
      if (probe(devRoot + "/" + node)) ports.push_back("COM" + std::to_string(n));
    } catch (...) {
      // One port that cannot be probed does not end the scan.
    }
  }

  std::vector<std::string> names;
  if (DIR* dir = ::opendir(devRoot.c_str())) {
    while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
    ::closedir(dir);
  }
  for (const char* prefix : {"ttyUSB", "ttyACM"})
    for (long n : NumberedEntries(devRoot, prefix, names))
      ports.push_back(devRoot + "/" + prefix + std::to_string(n));
  return ports;
}

}  // namespace dovra
