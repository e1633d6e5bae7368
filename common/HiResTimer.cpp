#include "common/HiResTimer.h"

#include <chrono>

#include "common/platform/MonotonicClock.h"

namespace {
using Clock = std::chrono::steady_clock;
}

HiResTimer::HiResTimer() {
  frequency_ = static_cast<std::int64_t>(Clock::period::den / Clock::period::num);
  double now = ClockSeconds();
  startTime_.store(now, std::memory_order_relaxed);
  rateTime_ = now;
}

double HiResTimer::ClockSeconds() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

bool HiResTimer::IsHighResolution() {
  return MonotonicClockResolution() <= std::chrono::microseconds(1);
}

void HiResTimer::Restart() {
  startTime_.store(frozenTime_ != 0.0 ? frozenTime_ : ClockSeconds(), std::memory_order_relaxed);
  stopped_ = false;
  frozenTime_ = 0.0;
}

void HiResTimer::Stop() {
  if (stopped_) return;
  frozenTime_ = Now();
  stopped_ = true;
}

double HiResTimer::Elapsed() const {
  return ClockSeconds() - StartTime();
}

double HiResTimer::Now() const {
  return frozenTime_ != 0.0 ? frozenTime_ : ClockSeconds();
}

double HiResTimer::Rate() {
  double now = ClockSeconds();
  double interval = now - rateTime_;
  if (interval > 0.5) {
    rate_ = sampleCount_.exchange(0, std::memory_order_relaxed) / interval;
    rateTime_ = now;
  }
  return rate_;
}
