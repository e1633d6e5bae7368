// The absolute-deadline sleep of the pacing threads and their timer slack.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "common/DeadlineWaiter.h"
#include "common/platform/ThreadTiming.h"

using namespace std::chrono_literals;

TEST(DeadlineWaiterTest, ReachesTheDeadlineOrEndsOnWake) {
  DeadlineWaiter waiter;
  using Clock = DeadlineWaiter::Clock;

  // A deadline in the past returns at once; a near one is not left early.
  EXPECT_EQ(waiter.WaitUntil(Clock::now() - 1s, waiter.Ticket()), DeadlineWait::Reached);
  const Clock::time_point due = Clock::now() + 20ms;
  EXPECT_EQ(waiter.WaitUntil(due, waiter.Ticket()), DeadlineWait::Reached);
  EXPECT_GE(Clock::now(), due);

  // A wake from another thread ends a long wait.
  const auto start = Clock::now();
  std::thread waker([&] {
    std::this_thread::sleep_for(20ms);
    waiter.Wake();
  });
  EXPECT_EQ(waiter.WaitUntil(Clock::now() + 60s, waiter.Ticket()), DeadlineWait::Woken);
  waker.join();
  EXPECT_LT(Clock::now() - start, 10s);

  // A wake between taking the ticket and waiting is not lost.
  const std::uint64_t ticket = waiter.Ticket();
  waiter.Wake();
  EXPECT_EQ(waiter.WaitUntil(Clock::now() + 60s, ticket), DeadlineWait::Woken);
  // while a fresh ticket waits again.
  EXPECT_EQ(waiter.WaitUntil(Clock::now() + 1ms, waiter.Ticket()), DeadlineWait::Reached);
}

TEST(DeadlineWaiterTest, TimerSlackIsPerThread) {
  std::chrono::nanoseconds inThread{-1};
  std::thread paced([&] {
    EXPECT_EQ(SetThreadTimerSlack(kPacingTimerSlack), TimerSlack::Set);
    inThread = ThreadTimerSlack();
  });
  paced.join();
  EXPECT_EQ(inThread, kPacingTimerSlack);
  EXPECT_NE(ThreadTimerSlack(), kPacingTimerSlack);          // this thread keeps its own
  EXPECT_EQ(SetThreadTimerSlack(0ns), TimerSlack::Refused);  // "0" would mean the default
}

// The real-time class is held only while the thread sleeps towards deadlines
// and keeps up; a thread that falls behind, runs unpaced or ends goes back to
// the ordinary class, so a slow consumer can never make it starve the
// machine. Without the privilege nothing changes.
TEST(DeadlineWaiterTest, PacingClassIsRealTimeOnlyWhileKeepingASchedule) {
  std::thread paced([] {
    const auto policy = [] { return ::sched_getscheduler(0); };
    rlimit limit{};
    const bool privileged =
        ::geteuid() == 0 || (::getrlimit(RLIMIT_RTPRIO, &limit) == 0 &&
                             limit.rlim_cur >= static_cast<rlim_t>(kPacingRealTimePriority));
    {
      PacingClass pacing;
      pacing.Waiting();
      EXPECT_EQ(pacing.RealTime(), privileged);
      EXPECT_EQ(policy(), privileged ? SCHED_FIFO : SCHED_OTHER);
      for (int i = 0; i + 1 < PacingClass::kBehindLimit; ++i) pacing.Late();
      EXPECT_EQ(pacing.RealTime(), privileged);  // a few late records are a burst, not a lag
      pacing.Late();
      EXPECT_FALSE(pacing.RealTime());
      EXPECT_EQ(policy(), SCHED_OTHER);
      pacing.Waiting();
      EXPECT_EQ(pacing.RealTime(), privileged);
      pacing.Unpaced();
      EXPECT_EQ(policy(), SCHED_OTHER);
      pacing.Waiting();
    }
    EXPECT_EQ(policy(), SCHED_OTHER);  // the end of the loop leaves the ordinary class
  });
  paced.join();
}
