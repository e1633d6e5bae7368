// Waits for an absolute point on the monotonic clock, and lets another thread
// cut such a wait short. The pacing loops (playback) sleep with it instead of
// waking up every few milliseconds to look at their flags: a change of state,
// speed or position calls Wake, and the sleeper recomputes its deadline.
//
// Thread contract: one thread waits at a time; Ticket and WaitUntil are called
// by that thread. Wake may be called from any thread, any number of times.
// A Wake that comes after Ticket and before WaitUntil is not lost: WaitUntil
// with that ticket returns Woken at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

enum class [[nodiscard]] DeadlineWait{Reached, Woken};

class DeadlineWaiter {
 public:
  using Clock = std::chrono::steady_clock;

  // The wake count to hand to WaitUntil; take it before looking at the flags
  // a Wake announces.
  std::uint64_t Ticket() const;
  // Sleeps until deadline, or until a Wake after the ticket was taken.
  DeadlineWait WaitUntil(Clock::time_point deadline, std::uint64_t ticket);
  void Wake();

 private:
  mutable std::mutex mutex_;
  std::condition_variable wakeup_;
  std::uint64_t wakes_ = 0;
};
