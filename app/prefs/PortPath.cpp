#include "app/prefs/PortPath.h"

namespace {

// The index of the first of the trailing digits, at most two of them.
std::size_t TrailingDigitsStart(const std::string& path) {
  std::size_t start = path.size();
  while (start > 0 && path.size() - start < 2 && path[start - 1] >= '0' && path[start - 1] <= '9') --start;
  return start;
}

}  // namespace

std::optional<int> PortNumberOf(const std::string& path) {
  const std::size_t start = TrailingDigitsStart(path);
  if (start == path.size()) return std::nullopt;
  return std::stoi(path.substr(start));
}

std::string WithPortNumber(const std::string& path, int number) {
  const std::size_t start = TrailingDigitsStart(path);
  if (number < 0 || number > 99 || start == path.size()) return path;
  return path.substr(0, start) + std::to_string(number);
}
