#include "definition/AdxFileSystem.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>

namespace adxfs {

std::string SaveTarget(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p(path);
  // Follow links one at a time (bounded, so a loop of links cannot hang).
  for (int hops = 0; hops < 32 && std::filesystem::is_symlink(p, ec); ++hops) {
    std::filesystem::path next = std::filesystem::read_symlink(p, ec);
    if (ec) break;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p.string();
}

std::string TemporaryBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof(suffix), ".%08x%04x.tmp", static_cast<unsigned>(device()),
                  counter.fetch_add(1) & 0xFFFFu);
    std::string candidate = target + suffix;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, ec))) return candidate;
  }
  return target + ".tmp";
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  std::error_code ec;
  // The new file keeps the permissions of the one it replaces.
  std::filesystem::file_status old = std::filesystem::status(to, ec);
  if (!ec && std::filesystem::exists(old)) {
    std::filesystem::permissions(from, old.permissions(), std::filesystem::perm_options::replace, ec);
  }
  ec.clear();
  std::filesystem::rename(from, to, ec);
  return !ec;
}

void RemoveFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

std::string WrittenTimeText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  std::snprintf(text, sizeof(text), "Written %.2i/%.2i/%.4i %.2i:%.2i:%.2i", local.tm_mon + 1, local.tm_mday,
                local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

}  // namespace adxfs
