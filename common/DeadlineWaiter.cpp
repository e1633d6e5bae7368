#include "common/DeadlineWaiter.h"

std::uint64_t DeadlineWaiter::Ticket() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return wakes_;
}

DeadlineWait DeadlineWaiter::WaitUntil(Clock::time_point deadline, std::uint64_t ticket) {
  std::unique_lock<std::mutex> guard(mutex_);
  // A steady_clock deadline is an absolute wait on CLOCK_MONOTONIC: a late
  // wake-up does not push the following deadlines back.
  const bool woken = wakeup_.wait_until(guard, deadline, [&] { return wakes_ != ticket; });
  return woken ? DeadlineWait::Woken : DeadlineWait::Reached;
}

void DeadlineWaiter::Wake() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    ++wakes_;
  }
  wakeup_.notify_all();
}
