// Several threads evaluate one configured evaluator at once, each with its own
// values (the acquisition and the GUI thread convert the same values).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "equation/EquationEvaluator.h"

namespace {

TEST(EquationThreads, EvaluateSlotsIsSafeFromSeveralThreads) {
  EquationEvaluator e;
  const char equation[] = "(A*256+B)/4-2*-C+D#2";
  ASSERT_EQ(1, e.SetEquation(equation, sizeof equation - 1));
  const int a = e.SlotOf('A');
  const int b = e.SlotOf('B');
  const int c = e.SlotOf('C');
  const int d = e.SlotOf('D');
  ASSERT_EQ(4u, e.SlotCount());

  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      double slots[4] = {};
      for (int i = 0; i < 20000; ++i) {
        const double av = (i + t) % 256;
        const double bv = (i * 7 + t) % 256;
        const double cv = 0.25 * t;
        const double dv = i % 13;
        slots[a] = av;
        slots[b] = bv;
        slots[c] = cv;
        slots[d] = dv;
        const double expected = (av * 256 + bv) / 4 - 2 * -cv + dv * dv;
        if (e.EvaluateSlots(slots) != expected) mismatches.fetch_add(1, std::memory_order_relaxed);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(0, mismatches.load());
}

TEST(EquationThreads, FusedKernelsAreSafeFromSeveralThreads) {
  // Chains run on kernels chosen at SetEquation; they read the program and
  // the caller's values only.
  EquationEvaluator word;
  EquationEvaluator scale;
  ASSERT_EQ(1, word.SetEquation("(A*256+B)/4", 11));
  ASSERT_EQ(1, scale.SetEquation("(X-40)*1.8+32", 13));
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20000; ++i) {
        const double a = (i + t) % 256;
        const double b = (i * 7 + t) % 256;
        const double wordSlots[2] = {a, b};
        if (word.EvaluateSlots(wordSlots) != (a * 256 + b) / 4)
          mismatches.fetch_add(1, std::memory_order_relaxed);
        const double x = t % 2 ? a : a + 0.25;  // whole and fractional values at once
        if (scale.EvaluateSlots(&x) != (x - 40) * 1.8 + 32)
          mismatches.fetch_add(1, std::memory_order_relaxed);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(0, mismatches.load());
}

}  // namespace
