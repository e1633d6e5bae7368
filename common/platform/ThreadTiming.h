// Timer precision of the calling thread.
//
// The kernel may defer a thread's timed wake-ups by its timer slack (50 us by
// default, far more for a thread of a background process) to batch them with
// others. The threads that pace playback and time serial replies ask for a
// small slack so that a busy machine does not stretch their waits.
//
// Thread contract: affects only the calling thread; any thread may call it.
#pragma once

#include <chrono>

// The slack the pacing threads ask for.
inline constexpr std::chrono::nanoseconds kPacingTimerSlack = std::chrono::microseconds(20);

enum class [[nodiscard]] TimerSlack{Set, Refused};

// Sets the calling thread's timer slack. Refused (zero or negative, or by the
// platform): the thread keeps its previous slack, which is harmless.
TimerSlack SetThreadTimerSlack(std::chrono::nanoseconds slack);
// The calling thread's timer slack, or a negative duration when unknown.
std::chrono::nanoseconds ThreadTimerSlack();
