#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/HiResTimer.h"

namespace {

using namespace std::chrono_literals;

TEST(HiResTimerTest, ElapsedStopAndRestart) {
  HiResTimer timer;
  EXPECT_GT(timer.Frequency(), 1000000);
  EXPECT_TRUE(HiResTimer::IsHighResolution());
  std::this_thread::sleep_for(20ms);
  EXPECT_GE(timer.Elapsed(), 0.019);

  // Stop freezes Now; a second Stop keeps the first frozen time.
  timer.Stop();
  double frozen = timer.Now();
  std::this_thread::sleep_for(10ms);
  timer.Stop();
  EXPECT_TRUE(timer.IsStopped());
  EXPECT_EQ(timer.Now(), frozen);
  EXPECT_GE(timer.Elapsed(), 0.029);  // Elapsed always reads the running clock

  // Restart after a Stop starts from the frozen time and runs again.
  timer.Restart();
  EXPECT_FALSE(timer.IsStopped());
  EXPECT_EQ(timer.StartTime(), frozen);
  EXPECT_GE(timer.Elapsed(), 0.009);
  EXPECT_GT(timer.Now(), frozen);

  timer.Restart();
  EXPECT_LT(timer.Elapsed(), 0.005);
}

TEST(HiResTimerTest, RateChangesAtMostTwiceASecond) {
  HiResTimer timer;
  // Samples counted from several threads all arrive.
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&timer] {
      for (int i = 0; i < 25; ++i) timer.AddSample();
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(timer.SampleCount(), 100u);
  EXPECT_EQ(timer.Rate(), 0.0);  // too early: nothing recomputed

  std::this_thread::sleep_for(600ms);
  double rate = timer.Rate();
  EXPECT_GT(rate, 100 / 1.5);
  EXPECT_LE(rate, 100 / 0.6);
  EXPECT_EQ(timer.SampleCount(), 0u);

  timer.AddSample(50);
  EXPECT_EQ(timer.Rate(), rate);  // unchanged within half a second
}

}  // namespace
