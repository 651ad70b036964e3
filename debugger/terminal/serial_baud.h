// Rates beyond the standard termios table go through the kernel's termios2
// interface, whose header cannot share a file with <termios.h>.
#pragma once

#include <cstdint>
#include <optional>

namespace zun::term {

// Sets both directions of the tty to `baud`; false when the kernel refuses.
bool set_custom_baud(int fd, uint32_t baud);
// The output rate the tty is set to, in bits per second.
std::optional<uint32_t> port_baud(int fd);

}  // namespace zun::term
