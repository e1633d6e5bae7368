#pragma once

// The host end of a simulated line for tests: opens the simulator's port like
// a serial port (raw, no controlling terminal) and reads with a time limit.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/ecu-sim/TerminalSpeed.h"

class LineClient {
 public:
  explicit LineClient(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    tcsetattr(fd_, TCSANOW, &t);
  }
  ~LineClient() {
    if (fd_ >= 0) ::close(fd_);
  }
  LineClient(const LineClient&) = delete;
  LineClient& operator=(const LineClient&) = delete;

  bool isOpen() const { return fd_ >= 0; }

  bool write(const std::vector<std::uint8_t>& bytes) {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // Reads until `count` bytes came, the time ran out, or the line failed
  // (then `failed` is set: the other side closed).
  std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> out;
    auto end = std::chrono::steady_clock::now() + timeout;
    while (out.size() < count) {
      auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      int n = ::poll(&p, 1, static_cast<int>(left.count()));
      if (n <= 0) continue;
      std::uint8_t buffer[256];
      ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
      if (got <= 0) {
        failed = true;
        break;
      }
      out.insert(out.end(), buffer, buffer + got);
    }
    return out;
  }

  // Reads single bytes and notes when each arrived.
  std::vector<std::chrono::steady_clock::time_point> arrivalTimes(std::size_t count,
                                                                  std::chrono::milliseconds timeout) {
    std::vector<std::chrono::steady_clock::time_point> times;
    for (std::size_t i = 0; i < count; ++i) {
      if (read(1, timeout).size() != 1) break;
      times.push_back(std::chrono::steady_clock::now());
    }
    return times;
  }

  void purge() { tcflush(fd_, TCIOFLUSH); }
  bool setSpeed(unsigned baud) { return setTerminalSpeed(fd_, baud); }

  bool failed = false;

 private:
  int fd_ = -1;
};
