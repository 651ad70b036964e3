// The serial port over termios: opened exclusively (a lock on the device and
// the tty's exclusive mode), raw, reads that return at once, and the
// settings record turned into termios flags. XON is 0x12 and XOFF 0x10, as
// the board's monitor expects, not the usual 0x11 and 0x13.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "debugger/terminal/serial_baud.h"
#include "debugger/terminal/terminal.h"

namespace zun::term {

namespace {

constexpr unsigned char xon_char = 0x12, xoff_char = 0x10;

std::optional<speed_t> standard_speed(uint32_t baud) {
  static constexpr std::pair<uint32_t, speed_t> table[] = {
      {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
      {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
      {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
      {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
      {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
      {2000000, B2000000},
  };
  for (const auto& [rate, code] : table)
    if (rate == baud) return code;
  return std::nullopt;
}

void set_modem_line(int fd, int line, bool on) {
  // A pseudo-terminal has no modem lines; that is no fault.
  ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

// The termios form of a record; false for what no Linux port can do.
bool build_termios(const SerialSettings& r, termios& t, ApplyResult& result) {
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  switch (r.data_bits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default:
      result.notes.push_back("4 data bits are not supported on this system");
      return false;
  }
  switch (r.parity) {
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (r.stop_bits == 1) {
    // A UART sends 1.5 stop bits for "two" only with 5 data bits.
    if (r.data_bits != 5) {
      result.notes.push_back("1.5 stop bits are supported only with 5 data bits");
      return false;
    }
    t.c_cflag |= CSTOPB;
  } else if (r.stop_bits == 2) {
    t.c_cflag |= CSTOPB;
  }
  if (r.flow & flow_cts || r.rts() == 2) t.c_cflag |= CRTSCTS;
  if (r.flow & flow_dsr) result.notes.push_back("DSR output flow control is not supported on this system; it stays off");
  if (r.dtr() == 2) result.notes.push_back("DTR handshake is not supported on this system; DTR is switched on instead");
  if (r.rts() == 3) result.notes.push_back("RTS toggle is not supported on this system; RTS is switched on instead");
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (r.flow & flow_xon_out) t.c_iflag |= IXON;
  if (r.flow & flow_xon_in) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = xon_char;
  t.c_cc[VSTOP] = xoff_char;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  return true;
}

// Waits until the driver's output queue is empty, at most `limit`; false
// when flow control (or a line without a board) held it longer.
bool output_queue_empties(int fd, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (int queued = 0; ::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0;) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Lets the bytes already written leave before the line changes, held at
// most `limit` by flow control.
void drain_output(int fd, std::chrono::milliseconds limit) {
  if (output_queue_empties(fd, limit)) ::tcdrain(fd);
}

// A failure's text with the system's reason for it.
std::string because(const char* failure) { return std::string(failure) + ": " + std::strerror(errno); }

}  // namespace

void repair_record(SerialSettings& r) {
  if (r.baud == 0) r.baud = 9600;
  if (r.data_bits < 4 || r.data_bits > 8) r.data_bits = 8;
  if (r.parity > 4) r.parity = 0;
  if (r.stop_bits > 2) r.stop_bits = 0;
}

bool SerialPort::open(const std::string& device, std::string* error) {
  close();
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  // The lock keeps out a second terminal even where the tty's exclusive
  // mode does not (it does not stop the superuser).
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (error) *error = "the port is in use";
    ::close(fd);
    return false;
  }
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  return true;
}

// Closing a serial line waits until the driver has sent what is queued, up
// to half a minute when flow control holds the line or no board is there;
// what the line has not taken after a moment is dropped instead.
bool SerialPort::close(std::string* error) {
  if (fd_ < 0) return true;
  if (!output_queue_empties(fd_, std::chrono::milliseconds(500))) ::tcflush(fd_, TCOFLUSH);
  ::ioctl(fd_, TIOCNXCL);
  int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0 && error) *error = std::strerror(errno);
  return rc == 0;
}

ApplyResult SerialPort::apply(SerialSettings& record) {
  ApplyResult result;
  // What was sent still goes out at the old settings (the end of a download
  // must not be cut off); only what came in is cleared.
  if (fd_ < 0) return result;
  drain_output(fd_, std::chrono::seconds(2));
  if (::tcflush(fd_, TCIFLUSH) != 0) {
    result.error = because("Can't set Comm Buffer");
    return result;
  }
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) {
    result.error = because("Can't obtain serial device state");
    return result;
  }
  repair_record(record);
  std::optional<speed_t> speed = standard_speed(record.baud);
  // What no port here can do is named in the notes.
  if (!build_termios(record, t, result)) {
    result.error = "Can't set comm state";
    return result;
  }
  if ((speed && ::cfsetspeed(&t, *speed) != 0) || ::tcsetattr(fd_, TCSANOW, &t) != 0 ||
      (!speed && !set_custom_baud(fd_, record.baud))) {
    result.error = because("Can't set comm state");
    return result;
  }
  if (record.rts() != 2 && !(record.flow & flow_cts)) set_modem_line(fd_, TIOCM_RTS, record.rts() != 0);
  set_modem_line(fd_, TIOCM_DTR, record.dtr() != 0);
  result.ok = true;
  return result;
}

std::string SerialPort::read(size_t max) {
  std::string bytes;
  char buffer[4096];
  while (fd_ >= 0 && bytes.size() < max) {
    ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, max - bytes.size()));
    if (n > 0) {
      bytes.append(buffer, size_t(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  return bytes;
}

bool SerialPort::write(std::string_view bytes, std::chrono::milliseconds timeout,
                       const std::function<bool()>& give_up) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (fd_ >= 0 && !bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(size_t(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    // Held by flow control, or the queue is full.
    if ((give_up && give_up()) || std::chrono::steady_clock::now() >= deadline) return false;
    pollfd p{fd_, POLLOUT, 0};
    if (::poll(&p, 1, 10) > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return bytes.empty();
}

bool com_port_present(const std::string& device, std::string* close_error) {
  SerialPort port;
  if (device.empty() || !port.open(device)) return false;
  return port.close(close_error);
}

}  // namespace zun::term
