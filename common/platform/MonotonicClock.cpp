#include "common/platform/MonotonicClock.h"

#include <time.h>

std::chrono::nanoseconds MonotonicClockResolution() {
  struct timespec res {};
  if (::clock_getres(CLOCK_MONOTONIC, &res) != 0) return std::chrono::seconds(1);
  return std::chrono::seconds(res.tv_sec) + std::chrono::nanoseconds(res.tv_nsec);
}
