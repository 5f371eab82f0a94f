// The termios2 interface lives in <asm/termbits.h>, which cannot share a unit with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace dovra::detail {

int SetCustomSpeed(int fd, int baud) {
  struct termios2 tio {};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return errno;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = static_cast<speed_t>(baud);
  tio.c_ospeed = static_cast<speed_t>(baud);
  if (::ioctl(fd, TCSETS2, &tio) != 0) return errno;
  return 0;
}

}  // namespace dovra::detail
