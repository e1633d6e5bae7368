#include "xml/XmlFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

namespace {

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// The file that writing to `path` should replace: the path itself, or the
// file a symbolic link points to, so that the link survives. Empty when the
// link cannot be resolved.
std::string ResolveTarget(const char* path) {
  struct stat link {};
  if (::lstat(path, &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* resolved = ::realpath(path, nullptr);
  if (resolved == nullptr) return std::string();
  std::string target = resolved;
  std::free(resolved);
  return target;
}

}  // namespace

XmlFile::~XmlFile() {
  Discard();
}

XmlFile::XmlFile(XmlFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      tempPath_(std::move(other.tempPath_)),
      targetPath_(std::move(other.targetPath_)) {
  other.tempPath_.clear();
  other.targetPath_.clear();
}

XmlFile& XmlFile::operator=(XmlFile&& other) noexcept {
  if (this != &other) {
    Discard();
    fd_ = std::exchange(other.fd_, -1);
    tempPath_ = std::move(other.tempPath_);
    targetPath_ = std::move(other.targetPath_);
    other.tempPath_.clear();
    other.targetPath_.clear();
  }
  return *this;
}

XmlFile XmlFile::OpenForReading(const char* path) {
  if (path == nullptr || *path == '\0') return XmlFile();
  // Non-blocking, so that opening a pipe nobody writes to cannot hang.
  int fd = OpenRetrying(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return XmlFile();
  XmlFile file(fd);
  // A directory opens fine on POSIX but is no document.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    file.Close();
    return file;
  }
  // Reads then wait for data as usual.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) file.Close();
  return file;
}

XmlFile XmlFile::CreateForWriting(const char* path) {
  if (path == nullptr || *path == '\0') return XmlFile();
  struct stat existing {};
  const bool exists = ::stat(path, &existing) == 0;
  // Devices, pipes and the like are written in place, never replaced.
  const std::string target = !exists || S_ISREG(existing.st_mode) ? ResolveTarget(path) : std::string();
  if (!target.empty()) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
      std::string temp = target + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
      int fd = OpenRetrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) break;
      if (exists) {
        // The replacement keeps the mode and, where allowed, the owner.
        (void)::fchmod(fd, existing.st_mode & 07777);
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
          // Only the owner or root may give a file away; the mode still holds.
        }
      }
      XmlFile file(fd);
      file.tempPath_ = std::move(temp);
      file.targetPath_ = target;
      return file;
    }
  }
  int fd = OpenRetrying(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? XmlFile() : XmlFile(fd);
}

ssize_t XmlFile::ReadFull(void* buffer, size_t size) {
  if (fd_ < 0) return -1;
  auto* bytes = static_cast<unsigned char*>(buffer);
  size_t done = 0;
  while (done < size) {
    ssize_t got = ::read(fd_, bytes + done, size - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

bool XmlFile::WriteAll(const void* data, size_t size) {
  if (fd_ < 0) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  size_t done = 0;
  while (done < size) {
    ssize_t put = ::write(fd_, bytes + done, size - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (put == 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

bool XmlFile::Close() {
  if (fd_ < 0) return false;
  const int fd = std::exchange(fd_, -1);
  // The data must be on the disk before the rename makes it the file.
  bool ok = tempPath_.empty() || ::fsync(fd) == 0;
  // On Linux the descriptor is released even when close reports EINTR, so
  // it must not be closed again; the error still counts as a failure.
  ok = ::close(fd) == 0 && ok;
  if (!tempPath_.empty()) {
    if (ok) ok = ::rename(tempPath_.c_str(), targetPath_.c_str()) == 0;
    if (!ok) ::unlink(tempPath_.c_str());
    tempPath_.clear();
    targetPath_.clear();
  }
  return ok;
}

void XmlFile::Discard() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
  targetPath_.clear();
}
