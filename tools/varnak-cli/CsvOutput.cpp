#include "tools/varnak-cli/CsvOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "acquisition/control/platform/FileMove.h"

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string CsvTargetProblem(const CsvTarget& target) {
  if (target.path.empty() || target.path == "-") return std::string();
  for (const std::string& input : target.inputs) {
    if (!input.empty() && (input == target.path || SameFile(input, target.path)))
      return target.path + " is also an input of this command; choose another output file";
  }
  struct stat st {};
  if (::stat(target.path.c_str(), &st) != 0) return std::string();
  if (S_ISDIR(st.st_mode)) return target.path + " is a folder";
  if (S_ISREG(st.st_mode) && !target.force) return target.path + " already exists; use --force to replace it";
  return std::string();
}

CsvOutput::~CsvOutput() {
  if (stream_ != nullptr) (void)Finish(false, nullptr);
}

bool CsvOutput::Open(const CsvTarget& target, std::FILE* err) {
  target_ = target;
  if (const std::string problem = CsvTargetProblem(target); !problem.empty()) {
    std::fprintf(err, "Cannot write %s\n", problem.c_str());
    return false;
  }
  if (target.path == "-") {
    stream_ = stdout;
    return true;
  }
  struct stat st {};
  const bool exists = ::stat(target.path.c_str(), &st) == 0;
  const bool regular = !exists || S_ISREG(st.st_mode);
  int fd = -1;
  if (regular && target.viaTemporary) {
    std::string pattern = target.path + ".tmp-XXXXXX";
    fd = ::mkstemp(pattern.data());
    if (fd >= 0) temporary_ = pattern;
  } else if (regular) {
    // Created here and now: a file that appeared since the check is kept.
    fd =
        ::open(target.path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (target.force ? O_TRUNC : O_EXCL), 0666);
  } else {
    fd = ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC);  // a device or a pipe
  }
  if (fd >= 0) {
    if (!temporary_.empty()) {
      // mkstemp makes the file private; the output gets the usual mode.
      const mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd, 0666 & ~mask);
    }
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) ::close(fd);
  }
  if (stream_ == nullptr) {
    std::fprintf(err, "Cannot write %s: %s\n", target.path.c_str(), std::strerror(errno));
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    return false;
  }
  owned_ = true;
  return true;
}

void CsvOutput::Write(const std::string& text) {
  char* room = Reserve(text.size());
  if (room == nullptr) return;
  std::memcpy(room, text.data(), text.size());
  Commit(room + text.size());
}

char* CsvOutput::Reserve(std::size_t size) {
  if (stream_ == nullptr || Failed()) return nullptr;
  if (capacity_ - used_ < size) {
    Flush();
    if (Failed()) return nullptr;
    if (capacity_ < size || buffer_ == nullptr) {
      capacity_ = std::max(size, kBlock + kBlock / 4);
      buffer_ = std::make_unique<char[]>(capacity_);
    }
  }
  return buffer_.get() + used_;
}

void CsvOutput::Commit(const char* end) {
  used_ = static_cast<std::size_t>(end - buffer_.get());
  if (target_.flushEachRow || used_ >= kBlock) Flush();
}

void CsvOutput::Flush() {
  if (used_ == 0 || Failed()) return;
  errno = 0;
  bool ok = std::fwrite(buffer_.get(), 1, used_, stream_) == used_;
  if (ok && target_.flushEachRow) ok = std::fflush(stream_) == 0;
  if (!ok) {
    error_ = errno;
    if (error_ == EPIPE) brokenPipe_.store(true, std::memory_order_release);
    failed_.store(true, std::memory_order_release);
  }
  used_ = 0;
}

bool CsvOutput::Finish(bool keep, std::FILE* err) {
  if (stream_ == nullptr) return !Failed();
  Flush();
  errno = 0;
  if (owned_) {
    if (std::fclose(stream_) != 0 && !Failed()) {
      error_ = errno;
      failed_.store(true, std::memory_order_release);
    }
  } else if (!Failed() && std::fflush(stream_) != 0) {
    error_ = errno;
    if (error_ == EPIPE) brokenPipe_.store(true, std::memory_order_release);
    failed_.store(true, std::memory_order_release);
  }
  stream_ = nullptr;
  if (Failed() && !BrokenPipe() && err != nullptr) {
    std::fprintf(err, "Cannot write %s%s%s\n", target_.path == "-" ? "standard output" : target_.path.c_str(),
                 error_ != 0 ? ": " : "", error_ != 0 ? std::strerror(error_) : "");
  }
  if (temporary_.empty()) return !Failed();
  const std::string temporary = std::move(temporary_);
  temporary_.clear();
  if (!keep || Failed()) {
    ::unlink(temporary.c_str());
    return !Failed();
  }
  const int error = target_.force ? (::rename(temporary.c_str(), target_.path.c_str()) == 0 ? 0 : errno)
                                  : MoveFileNoReplace(temporary, target_.path);
  if (error != 0) {
    ::unlink(temporary.c_str());
    if (err != nullptr) {
      std::fprintf(
          err, "Cannot write %s: %s\n", target_.path.c_str(),
          error == EEXIST ? "it was created meanwhile; use --force to replace it" : std::strerror(error));
    }
    return false;
  }
  return true;
}
