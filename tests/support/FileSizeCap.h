// Caps the size of files this process may write, as a full disk would: the
// write past the cap fails with EFBIG ("File too large") instead of raising
// SIGXFSZ. The previous limit and signal handler come back at destruction.
#pragma once

#include <sys/resource.h>

#include <csignal>

class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit cap = previous_;
    cap.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &cap);
  }
  ~FileSizeCap() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeCap(const FileSizeCap&) = delete;
  FileSizeCap& operator=(const FileSizeCap&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};
