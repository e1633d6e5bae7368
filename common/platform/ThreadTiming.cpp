#include "common/platform/ThreadTiming.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

TimerSlack SetThreadTimerSlack(std::chrono::nanoseconds slack) {
  if (slack.count() <= 0) return TimerSlack::Refused;  // 0 would mean "back to the default"
  return ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(slack.count()), 0, 0, 0) == 0
             ? TimerSlack::Set
             : TimerSlack::Refused;
}

std::chrono::nanoseconds ThreadTimerSlack() {
  const int slack = ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  return std::chrono::nanoseconds(slack < 0 ? -1 : slack);
}

ThreadNice SetThreadNice(int nice) {
  // On Linux the nice value belongs to the thread named by its id.
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice) == 0 ? ThreadNice::Set
                                                                               : ThreadNice::Refused;
}
