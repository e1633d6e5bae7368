#include "app/prefs/SerialDevices.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <linux/serial.h>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

// "ttyUSB10" sorts after "ttyUSB9".
bool ByNumber(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

// ttyS devices exist for every possible built-in port; only those with a
// UART behind them are worth offering. A device that cannot be asked (no
// permission) is offered anyway.
bool IsRealBuiltInPort(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EACCES || errno == EBUSY;
  serial_struct info{};
  const bool real = ::ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type != PORT_UNKNOWN;
  ::close(fd);
  return real;
}

}  // namespace

std::vector<std::string> ListSerialDevices(const std::string& devRoot) {
  namespace fs = std::filesystem;
  std::vector<std::string> result;
  std::error_code ec;

  std::vector<std::string> byId;
  for (fs::directory_iterator it(devRoot + "/serial/by-id", ec), end; !ec && it != end; it.increment(ec)) {
    byId.push_back(it->path().string());
  }
  std::sort(byId.begin(), byId.end());
  result.insert(result.end(), byId.begin(), byId.end());

  for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
    std::vector<std::string> group;
    const std::string stem = prefix;
    for (fs::directory_iterator it(devRoot, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) continue;
      if (!std::all_of(name.begin() + static_cast<long>(stem.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; }))
        continue;
      const std::string path = it->path().string();
      if (stem == "ttyS" && !IsRealBuiltInPort(path)) continue;
      group.push_back(path);
    }
    ec.clear();
    std::sort(group.begin(), group.end(), ByNumber);
    result.insert(result.end(), group.begin(), group.end());
  }
  return result;
}
