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
// The nice value the pacing threads ask for: a little ahead of the ordinary
// threads of a busy machine, so that a wake-up at a deadline is served before
// their time slice ends, yet still sharing the processor fairly (not a
// real-time class: a playback "as fast as it goes" cannot starve anything).
inline constexpr int kPacingNice = -5;

enum class [[nodiscard]] ThreadNice{Set, Refused};

// Sets the calling thread's nice value. Refused without the privilege to
// lower it (CAP_SYS_NICE or RLIMIT_NICE): the thread keeps its value.
ThreadNice SetThreadNice(int nice);

// The calling thread's timer slack, or a negative duration when unknown.
std::chrono::nanoseconds ThreadTimerSlack();
