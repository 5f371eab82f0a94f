// Decodes a line's settings with TCGETS2, which also reports speeds outside the termios table.
// <asm/termbits.h> cannot share a unit with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "tests/support/FakePrinter.h"

namespace dovra::testing {

TLineSettings ReadLineSettings(int fd) {
  struct termios2 tio {};
  if (::ioctl(fd, TCGETS2, &tio) != 0)
    throw std::runtime_error(std::string("TCGETS2: ") + std::strerror(errno));
  TLineSettings s;
  s.speed = static_cast<int>(tio.c_ospeed);
  switch (tio.c_cflag & CSIZE) {
    case CS5: s.dataBits = 5; break;
    case CS6: s.dataBits = 6; break;
    case CS7: s.dataBits = 7; break;
    default: s.dataBits = 8; break;
  }
  if (tio.c_cflag & PARENB) {
    const bool odd = tio.c_cflag & PARODD;
    if (tio.c_cflag & CMSPAR)
      s.parity = odd ? 'M' : 'S';
    else
      s.parity = odd ? 'O' : 'E';
  }
  s.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
  s.rtsCts = tio.c_cflag & CRTSCTS;
  s.xonXoff = (tio.c_iflag & IXON) && (tio.c_iflag & IXOFF);
  s.raw = !(tio.c_lflag & (ICANON | ECHO)) && !(tio.c_oflag & OPOST);
  return s;
}

}  // namespace dovra::testing
