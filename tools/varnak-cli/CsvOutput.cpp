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
    if (!target.flushEachRow) writer_ = std::thread([this] { WriterMain(); });
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
  if (!target.flushEachRow) writer_ = std::thread([this] { WriterMain(); });
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
  if (filling_.capacity - filling_.used < size) {
    Flush();
    if (Failed()) return nullptr;
    if (filling_.capacity < size) {
      filling_.capacity = std::max(size, kBlock + kBlock / 4);
      filling_.data = std::make_unique<char[]>(filling_.capacity);
    }
  }
  return filling_.data.get() + filling_.used;
}

void CsvOutput::Commit(const char* end) {
  filling_.used = static_cast<std::size_t>(end - filling_.data.get());
  if (target_.flushEachRow || filling_.used >= kBlock) Flush();
}

bool CsvOutput::WriteBlock(const Block& block) {
  errno = 0;
  bool ok = std::fwrite(block.data.get(), 1, block.used, stream_) == block.used;
  if (ok && target_.flushEachRow) ok = std::fflush(stream_) == 0;
  if (!ok) {
    const int error = errno;
    int expected = 0;
    error_.compare_exchange_strong(expected, error);
    if (error == EPIPE) brokenPipe_.store(true, std::memory_order_release);
    failed_.store(true, std::memory_order_release);
  }
  return ok;
}

void CsvOutput::Flush() {
  if (filling_.used == 0 || Failed()) return;
  if (!writer_.joinable()) {
    (void)WriteBlock(filling_);
    filling_.used = 0;
    return;
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !full_; });
  // The written block comes back as the next one to fill.
  std::swap(handed_, filling_);
  filling_.used = 0;
  full_ = true;
  changed_.notify_all();
}

void CsvOutput::WriterMain() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return full_ || stop_; });
    if (!full_) return;  // stopped with nothing left to write
    lock.unlock();
    if (!Failed()) (void)WriteBlock(handed_);
    lock.lock();
    handed_.used = 0;
    full_ = false;
    changed_.notify_all();
  }
}

void CsvOutput::StopWriter() {
  if (!writer_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

bool CsvOutput::Finish(bool keep, std::FILE* err) {
  if (stream_ == nullptr) return !Failed();
  Flush();
  StopWriter();  // after the last block is written
  int writeError = error_.load();
  errno = 0;
  if (owned_) {
    if (std::fclose(stream_) != 0 && !Failed()) {
      writeError = errno;
      failed_.store(true, std::memory_order_release);
    }
  } else if (!Failed() && std::fflush(stream_) != 0) {
    writeError = errno;
    if (writeError == EPIPE) brokenPipe_.store(true, std::memory_order_release);
    failed_.store(true, std::memory_order_release);
  }
  stream_ = nullptr;
  if (Failed() && !BrokenPipe() && err != nullptr) {
    std::fprintf(err, "Cannot write %s%s%s\n", target_.path == "-" ? "standard output" : target_.path.c_str(),
                 writeError != 0 ? ": " : "", writeError != 0 ? std::strerror(writeError) : "");
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
