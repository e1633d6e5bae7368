// The high-resolution stopwatch used by the engine, the acquisition control
// and the datalog engine. All times are seconds as double, read from the
// monotonic clock (std::chrono::steady_clock).
//
// Thread contract: Restart, Stop and Rate are called by the timer's owner, one
// thread at a time. AddSample may be called from any thread (the acquisition
// or playback thread counts packets while the user-interface thread reads the
// rate); StartTime may be read from any thread.
#pragma once

#include <atomic>
#include <cstdint>

class HiResTimer {
 public:
  HiResTimer();

  // Takes the current time (or the time frozen by Stop) as the new start and
  // clears the stopped state.
  void Restart();
  // Freezes the current time once; later Stops change nothing until Restart.
  void Stop();
  // Seconds since the start, from the running clock.
  double Elapsed() const;
  // The frozen time when stopped, else the clock, in seconds.
  double Now() const;
  // Events per second, recomputed at most twice a second from the samples
  // counted since the previous computation.
  double Rate();

  void AddSample(std::uint32_t count = 1) { sampleCount_.fetch_add(count, std::memory_order_relaxed); }
  std::uint32_t SampleCount() const { return sampleCount_.load(std::memory_order_relaxed); }
  double StartTime() const { return startTime_.load(std::memory_order_relaxed); }
  bool IsStopped() const { return stopped_; }
  // Clock ticks per second.
  std::int64_t Frequency() const { return frequency_; }

  // The clock in seconds.
  static double ClockSeconds();
  // True when the clock resolves 1 microsecond or better.
  static bool IsHighResolution();

 private:
  std::atomic<double> startTime_{0.0};
  double frozenTime_ = 0.0;
  bool stopped_ = false;
  std::atomic<std::uint32_t> sampleCount_{0};
  double rateTime_ = 0.0;
  double rate_ = 0.0;
  std::int64_t frequency_ = 0;
};
