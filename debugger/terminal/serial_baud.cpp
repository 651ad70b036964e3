// termios2 access for any baud rate (BOTHER).
#include "debugger/terminal/serial_baud.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace zun::term {

bool set_custom_baud(int fd, uint32_t baud) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  t.c_ispeed = baud;
  t.c_ospeed = baud;
  return ioctl(fd, TCSETS2, &t) == 0;
}

std::optional<uint32_t> port_baud(int fd) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return std::nullopt;
  return t.c_ospeed;
}

}  // namespace zun::term
