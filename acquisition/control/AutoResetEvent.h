// An auto-reset event: Set releases one waiter (or the next Wait), and a
// successful Wait resets the event again.
//
// Thread contract: every operation may be called from any thread; the event's
// own mutex guards its flag.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class AutoResetEvent {
 public:
  explicit AutoResetEvent(bool signaled = false) : signaled_(signaled) {}
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Set();
  void Reset();
  // Waits without limit until the event is set, then resets it.
  void Wait();
  // Waits at most timeout; true (and the event reset) when it was set.
  bool WaitFor(std::chrono::milliseconds timeout);
  bool IsSet() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool signaled_;  // guarded by mutex_
};
