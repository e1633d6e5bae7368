#include "tests/acquisition/PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

PtyPeer::PtyPeer() {
  char name[256] = {};
  int master = -1;
  if (::openpty(&master, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  master_ = master;
  path_ = name;
  // Raw from the start, so nothing the test writes early is echoed or edited.
  struct termios tio {};
  ::tcgetattr(slave_, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave_, TCSANOW, &tio);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer() {
  Join();
  Hangup();
  if (slave_ >= 0) ::close(slave_);
}

void PtyPeer::Write(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size() && master_ >= 0) {
    ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else {
      struct pollfd pfd {
        master_, POLLOUT, 0
      };
      ::poll(&pfd, 1, 100);
    }
  }
}

void PtyPeer::WriteSpaced(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds gap) {
  for (std::uint8_t b : bytes) {
    std::this_thread::sleep_for(gap);
    Write({b});
  }
}

void PtyPeer::After(std::chrono::milliseconds delay, std::function<void()> fn) {
  threads_.emplace_back([delay, fn = std::move(fn)] {
    std::this_thread::sleep_for(delay);
    fn();
  });
}

void PtyPeer::Join() {
  for (auto& t : threads_) t.join();
  threads_.clear();
}

std::vector<std::uint8_t> PtyPeer::Read(std::size_t count, std::chrono::milliseconds timeout) {
  std::vector<std::uint8_t> out;
  auto end = std::chrono::steady_clock::now() + timeout;
  while (out.size() < count && master_ >= 0) {
    std::uint8_t buf[256];
    ssize_t n = ::read(master_, buf, std::min(sizeof buf, count - out.size()));
    if (n > 0) {
      out.insert(out.end(), buf, buf + n);
      continue;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    struct pollfd pfd {
      master_, POLLIN, 0
    };
    ::poll(&pfd, 1, static_cast<int>(left.count()));
  }
  return out;
}

void PtyPeer::Drain() {
  std::uint8_t buf[256];
  while (master_ >= 0 && ::read(master_, buf, sizeof buf) > 0) {
  }
}

void PtyPeer::Hangup() {
  int fd = master_.exchange(-1);
  if (fd >= 0) ::close(fd);
}
