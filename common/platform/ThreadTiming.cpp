#include "common/platform/ThreadTiming.h"

#include <pthread.h>
#include <sched.h>
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

ThreadClass SetThreadRealTime(bool realTime) {
  sched_param param{};
  param.sched_priority = realTime ? kPacingRealTimePriority : 0;
  return ::pthread_setschedparam(::pthread_self(), realTime ? SCHED_FIFO : SCHED_OTHER, &param) == 0
             ? ThreadClass::Set
             : ThreadClass::Refused;
}

void PacingClass::Switch(bool realTime) {
  if (realTime == realTime_ || (realTime && refused_)) return;
  if (SetThreadRealTime(realTime) == ThreadClass::Set) {
    realTime_ = realTime;
  } else if (realTime) {
    refused_ = true;
  }
}

void PacingClass::Waiting() {
  behind_ = 0;
  Switch(true);
}

void PacingClass::Late() {
  if (realTime_ && ++behind_ >= kBehindLimit) Switch(false);
}

void PacingClass::Unpaced() {
  behind_ = 0;
  Switch(false);
}

PacingClass::~PacingClass() {
  Switch(false);
}
