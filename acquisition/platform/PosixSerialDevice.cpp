// Linux terminal devices. termios2 (asm/termbits.h) gives arbitrary baud rates
// through BOTHER; it cannot be mixed with <termios.h>, so this file talks to the
// driver through ioctl only.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "acquisition/platform/SerialDevice.h"

struct SerialDevice::LineSettings {
  struct termios2 tio {};
};

SerialDevice::SerialDevice() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

SerialDevice::~SerialDevice() {
  Close();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void SerialDevice::InterruptWait() {
  if (wakeFd_ < 0) return;
  const std::uint64_t one = 1;
  // A full counter (never in practice) already wakes the next wait.
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

bool SerialDevice::Open(const char* path) {
  Close();
  lastError_ = 0;
  if (path == nullptr || *path == '\0') {
    lastError_ = ENOENT;
    return false;
  }
  int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    lastError_ = errno;  // EBUSY as well when another program holds the terminal's exclusive mode
    return false;
  }
  // The advisory lock keeps out every program that asks for one (and a second
  // QvSerial of our own); the terminal's exclusive mode refuses further opens by
  // programs that do not lock.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    lastError_ = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return false;
  }
  ::ioctl(fd, TIOCEXCL);  // not every device supports it; the lock above is what counts
  fd_ = fd;
  return true;
}

void SerialDevice::Close() {
  if (fd_ < 0) return;
  ::ioctl(fd_, TIOCNXCL);
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
  settings_.reset();
}

bool SerialDevice::ReadLineSettings() {
  if (fd_ < 0) return false;
  auto settings = std::make_unique<LineSettings>();
  if (::ioctl(fd_, TCGETS2, &settings->tio) != 0) {
    lastError_ = errno;  // ENOTTY: not a serial device
    return false;
  }
  settings_ = std::move(settings);
  return true;
}

bool SerialDevice::ApplyLineSettings(std::int32_t baud) {
  if (fd_ < 0 || !settings_ || baud <= 0) return false;
  struct termios2 tio = settings_->tio;
  // Raw bytes in both directions: no line editing, echo, signals, character
  // translation or software flow control, which would eat or alter binary data.
  tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                        IXOFF | IXANY | INPCK);
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  // 8 data bits, no parity, no CTS/RTS handshake; stop bits stay as read.
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  // Any rate, given in bits per second for both directions.
  tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = static_cast<speed_t>(baud);
  tio.c_ospeed = static_cast<speed_t>(baud);
  // Reads return what is there at once; the waiting is done with poll.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::ioctl(fd_, TCSETS2, &tio) != 0) return false;
  // DTR and RTS on. A pseudo-terminal has no modem lines and refuses this.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd_, TIOCMBIS, &lines);
  return true;
}

SerialDevice::WaitResult SerialDevice::Wait(short events, std::chrono::nanoseconds timeout) {
  if (fd_ < 0) return WaitResult::kHangup;
  struct pollfd fds[2]{};
  struct pollfd& pfd = fds[0];
  pfd.fd = fd_;
  pfd.events = events;
  fds[1].fd = wakeFd_;  // poll skips a negative descriptor
  fds[1].events = POLLIN;
  struct timespec ts {};
  struct timespec* tsp = nullptr;
  if (timeout.count() >= 0) {
    ts.tv_sec = static_cast<time_t>(timeout.count() / 1000000000);
    ts.tv_nsec = static_cast<long>(timeout.count() % 1000000000);
    tsp = &ts;
  }
  int r = ::ppoll(fds, 2, tsp, nullptr);
  if (r < 0)
    return errno == EINTR ? WaitResult::kTimeout : WaitResult::kHangup;  // EINTR: the caller re-waits
  if (r == 0) return WaitResult::kTimeout;
  if (fds[1].revents & POLLIN) {
    // Interrupted: take the wake-up and report a time-out; the caller looks
    // at its stop flag and re-waits when there is none.
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
    if (!(pfd.revents & events)) return WaitResult::kTimeout;
  }
  if (pfd.revents & events) return WaitResult::kReady;
  // POLLHUP, POLLERR or POLLNVAL without the wanted event: the device is gone.
  return WaitResult::kHangup;
}

SerialDevice::WaitResult SerialDevice::WaitReadable(std::chrono::nanoseconds timeout) {
  return Wait(POLLIN, timeout);
}

SerialDevice::WaitResult SerialDevice::WaitWritable(std::chrono::nanoseconds timeout) {
  return Wait(POLLOUT, timeout);
}

long SerialDevice::ReadAvailable(std::uint8_t* buffer, std::size_t count) {
  if (fd_ < 0) return -1;
  if (count == 0) return 0;
  for (;;) {
    ssize_t r = ::read(fd_, buffer, count);
    if (r >= 0) return static_cast<long>(r);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return -1;  // EIO after a hangup, ENXIO for an unplugged adapter, ...
  }
}

long SerialDevice::WriteAvailable(const std::uint8_t* buffer, std::size_t count) {
  if (fd_ < 0) return -1;
  if (count == 0) return 0;
  for (;;) {
    ssize_t r = ::write(fd_, buffer, count);
    if (r >= 0) return static_cast<long>(r);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return -1;
  }
}

long SerialDevice::OutputQueued() {
  if (fd_ < 0) return -1;
  int queued = 0;
  if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) return -1;
  return queued;
}

bool SerialDevice::Purge(bool transmit, bool receive) {
  if (fd_ < 0) return false;
  if (!transmit && !receive) return true;
  int which = transmit && receive ? TCIOFLUSH : (transmit ? TCOFLUSH : TCIFLUSH);
  return ::ioctl(fd_, TCFLSH, which) == 0;
}
