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

// A paced thread's scheduling class while it keeps a schedule: a low
// real-time priority (above every ordinary thread, below the system's own
// real-time threads), so that a wake-up at a deadline preempts the busy
// threads of a loaded machine at once instead of waiting for their time
// slice. Only while the thread sleeps towards deadlines and keeps up with
// them; a thread that falls behind, or runs as fast as it goes, goes back to
// the ordinary class (see PacingClass), so it can never starve the machine.
inline constexpr int kPacingRealTimePriority = 2;

enum class [[nodiscard]] ThreadClass{Set, Refused};

// Switches the calling thread between the real-time pacing class and the
// ordinary class (keeping its nice value). Refused without the privilege
// (CAP_SYS_NICE or an RLIMIT_RTPRIO of at least kPacingRealTimePriority):
// the thread stays in its class, which only costs precision.
ThreadClass SetThreadRealTime(bool realTime);

// The decision of a pacing loop: real time while it waits for deadlines,
// ordinary once it has delivered kBehindLimit records late in a row.
class PacingClass {
 public:
  static constexpr int kBehindLimit = 8;
  // Before sleeping towards a deadline.
  void Waiting();
  // A record delivered at or after its deadline without sleeping.
  void Late();
  // Playback as fast as it goes: no schedule to keep.
  void Unpaced();
  ~PacingClass();
  bool RealTime() const { return realTime_; }

 private:
  void Switch(bool realTime);
  bool realTime_ = false;
  bool refused_ = false;  // asked once and refused: not asked again
  int behind_ = 0;
};

// The calling thread's timer slack, or a negative duration when unknown.
std::chrono::nanoseconds ThreadTimerSlack();
