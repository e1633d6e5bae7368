#include "datalog/platform/LogFileHandle.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t kReadAheadSize = 64 * 1024;

// pread that retries interrupted calls and partial reads until count bytes or
// the end of the file.
long long ReadAt(int fd, std::uint8_t* out, std::size_t count, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, out + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long long>(done);
}
}  // namespace

LogFileHandle::~LogFileHandle() {
  Close();
}

bool LogFileHandle::Open(const char* path, Mode mode) {
  Close();
  lastError_ = 0;
  if (path == nullptr || path[0] == '\0') return Fail(ENOENT);
  int fd = -1;
  bool writable = true;
  if (mode == Mode::kCreateReadWrite) {
    // Truncation waits until the lock is held, so a log in use is never cut.
    fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  } else {
    fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
      fd = ::open(path, O_RDONLY | O_CLOEXEC);
      writable = false;
    }
  }
  if (fd < 0) return Fail(errno);
  struct stat st {};
  int error = 0;
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno == EWOULDBLOCK ? EBUSY : errno;  // another log holds the file
  } else if (mode == Mode::kCreateReadWrite && ::ftruncate(fd, 0) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::close(fd);
    return Fail(error);
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  writable_ = writable;
  position_ = 0;
  DropReadAhead();
  return true;
}

void LogFileHandle::Close() {
  if (fd_ >= 0) ::close(fd_);  // also releases the lock
  fd_ = -1;
  writable_ = false;
  position_ = 0;
  DropReadAhead();
  buffer_.clear();
  buffer_.shrink_to_fit();
}

long long LogFileHandle::Read(void* buffer, std::size_t count) {
  if (fd_ < 0) return -1;
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    if (position_ >= bufferStart_ && position_ < bufferStart_ + bufferLength_) {
      std::size_t offset = static_cast<std::size_t>(position_ - bufferStart_);
      std::size_t n = std::min(count - done, bufferLength_ - offset);
      std::memcpy(out + done, buffer_.data() + offset, n);
      done += n;
      position_ += n;
      continue;
    }
    if (count - done >= kReadAheadSize) {
      // A large block goes straight into the caller's buffer.
      long long n = ReadAt(fd_, out + done, count - done, position_);
      if (n < 0) return -1;
      done += static_cast<std::size_t>(n);
      position_ += static_cast<std::uint64_t>(n);
      break;
    }
    if (buffer_.size() < kReadAheadSize) buffer_.resize(kReadAheadSize);
    long long n = ReadAt(fd_, buffer_.data(), kReadAheadSize, position_);
    if (n < 0) {
      DropReadAhead();
      return -1;
    }
    bufferStart_ = position_;
    bufferLength_ = static_cast<std::size_t>(n);
    if (n == 0) break;
  }
  return static_cast<long long>(done);
}

bool LogFileHandle::Write(const void* data, std::size_t count) {
  if (fd_ < 0) return Fail(EBADF);
  if (!writable_) return Fail(EROFS);
  DropReadAhead();
  const auto* in = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < count) {
    ssize_t n = ::pwrite(fd_, in + done, count - done, static_cast<off_t>(position_ + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      lastError_ = errno;
      break;
    }
    if (n == 0) {
      lastError_ = ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  position_ += done;
  return done == count;
}

bool LogFileHandle::Size(std::uint64_t* size) const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;  // a const query keeps the last error
  *size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool LogFileHandle::ExtendTo(std::uint64_t size) {
  std::uint64_t current = 0;
  if (!Size(&current)) return false;
  if (current >= size) return true;
  if (!writable_) return Fail(EROFS);
  DropReadAhead();
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return Fail(errno);
  return true;
}

bool LogFileHandle::TruncateTo(std::uint64_t size) {
  std::uint64_t current = 0;
  if (!Size(&current)) return false;
  if (current <= size) return true;
  if (!writable_) return Fail(EROFS);
  DropReadAhead();
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return Fail(errno);
  return true;
}
