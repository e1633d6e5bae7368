#include "XmlFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <utility>

XmlFile::~XmlFile() {
  Close();
}

XmlFile::XmlFile(XmlFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

XmlFile& XmlFile::operator=(XmlFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

XmlFile XmlFile::OpenForReading(const char* path) {
  if (path == nullptr || *path == '\0') return XmlFile();
  int fd;
  do {
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return XmlFile();
  XmlFile file(fd);
  // A directory opens fine on POSIX but is no document.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) file.Close();
  return file;
}

XmlFile XmlFile::CreateForWriting(const char* path) {
  if (path == nullptr || *path == '\0') return XmlFile();
  int fd;
  do {
    fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
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
  int fd = std::exchange(fd_, -1);
  // On Linux the descriptor is released even when close reports EINTR, so
  // it must not be closed again; the error still counts as a failure.
  return ::close(fd) == 0;
}
