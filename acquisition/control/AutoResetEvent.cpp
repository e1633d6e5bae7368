#include "acquisition/control/AutoResetEvent.h"

void AutoResetEvent::Set() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    signaled_ = true;
  }
  cv_.notify_one();
}

void AutoResetEvent::Reset() {
  std::lock_guard<std::mutex> guard(mutex_);
  signaled_ = false;
}

void AutoResetEvent::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait(lock, [this] { return signaled_; });
  signaled_ = false;
}

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!cv_.wait_for(lock, timeout, [this] { return signaled_; })) return false;
  signaled_ = false;
  return true;
}

bool AutoResetEvent::IsSet() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return signaled_;
}
