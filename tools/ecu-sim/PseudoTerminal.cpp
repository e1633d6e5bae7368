#include "tools/ecu-sim/PseudoTerminal.h"

#include "tools/ecu-sim/TerminalSpeed.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool addFlags(int fd, int statusFlags, int fdFlags) {
  int status = fcntl(fd, F_GETFL);
  int descriptor = fcntl(fd, F_GETFD);
  if (status < 0 || descriptor < 0) return false;
  return fcntl(fd, F_SETFL, status | statusFlags) == 0 && fcntl(fd, F_SETFD, descriptor | fdFlags) == 0;
}

}  // namespace

PseudoTerminal::~PseudoTerminal() {
  close();
}

bool PseudoTerminal::open(std::string* error) {
  close();
  std::array<char, 256> name{};
  if (openpty(&master_, &slave_, name.data(), nullptr, nullptr) != 0) {
    if (error) *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    master_ = slave_ = -1;
    return false;
  }
  termios raw{};
  bool ok = tcgetattr(slave_, &raw) == 0;
  if (ok) {
    cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    ok = tcsetattr(slave_, TCSANOW, &raw) == 0;
  }
  ok = ok && addFlags(master_, O_NONBLOCK, FD_CLOEXEC) && addFlags(slave_, 0, FD_CLOEXEC);
  if (!ok) {
    if (error) *error = std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno);
    close();
    return false;
  }
  slavePath_ = name.data();
  return true;
}

void PseudoTerminal::close() {
  closeFd(master_);
  closeFd(slave_);
}

long PseudoTerminal::read(std::uint8_t* buffer, std::size_t size) {
  if (master_ < 0) return -1;
  for (;;) {
    ssize_t n = ::read(master_, buffer, size);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    // EIO: no client holds the slave open (cannot last while we keep ours).
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EIO) return 0;
    return -1;
  }
}

long PseudoTerminal::write(const std::uint8_t* data, std::size_t size) {
  if (master_ < 0) return -1;
  for (;;) {
    ssize_t n = ::write(master_, data, size);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return -1;
  }
}

std::size_t PseudoTerminal::unreadByClient() const {
  int count = 0;
  if (slave_ < 0 || ioctl(slave_, TIOCINQ, &count) != 0 || count < 0) return 0;
  return static_cast<std::size_t>(count);
}

unsigned PseudoTerminal::clientBaud() const {
  return terminalSpeed(slave_);
}

WakePipe::WakePipe() {
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
    read_ = fds[0];
    write_ = fds[1];
  }
}

WakePipe::~WakePipe() {
  closeFd(read_);
  closeFd(write_);
}

void WakePipe::notify() {
  const char one = 1;
  // A full pipe already holds a pending wake-up, so a failed write is harmless.
  [[maybe_unused]] ssize_t n = ::write(write_, &one, 1);
}

void WakePipe::drain() {
  char buffer[64];
  while (::read(read_, buffer, sizeof buffer) > 0) {
  }
}

bool waitForLine(const PseudoTerminal& terminal, bool wantWrite, const WakePipe& pipe,
                 std::chrono::nanoseconds timeout) {
  std::array<pollfd, 2> fds{};
  fds[0].fd = pipe.fd();
  fds[0].events = POLLIN;
  fds[1].fd = terminal.masterFd();
  fds[1].events = static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0));
  if (timeout.count() < 0) timeout = std::chrono::nanoseconds(0);
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(timeout.count() / 1000000000);
  ts.tv_nsec = static_cast<long>(timeout.count() % 1000000000);
  int n = ppoll(fds.data(), terminal.masterFd() >= 0 ? 2 : 1, &ts, nullptr);
  return n >= 0 || errno == EINTR;
}
