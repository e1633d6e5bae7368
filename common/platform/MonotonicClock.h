// The monotonic clock behind std::chrono::steady_clock, as the platform
// reports it.
//
// Thread contract: any thread.
#pragma once

#include <chrono>

// Resolution of the monotonic clock.
std::chrono::nanoseconds MonotonicClockResolution();
