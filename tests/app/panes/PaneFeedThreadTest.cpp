// The hand-over between a packet thread and the GUI thread: nothing is lost
// or repeated however the two interleave.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/panes/PaneFeed.h"
#include "tests/app/panes/PanesTestDefinition.h"

namespace {
constexpr int kPackets = 20000;
}

TEST(PaneFeedThreads, EveryPointArrivesOnceAndInOrderWhileTheGuiDrains) {
  PanesTestDefinition t;
  PaneFeed feed;
  feed.SetDefinition(&t.def);
  feed.SetHistograms({t.histogram});
  feed.SetMonitorTargets({{1, 0, t.rpm}, {2, 0, t.map}});

  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < kPackets; ++i) {
      const auto packet = PanesTestDefinition::Packet((i % 240) * 25, 20, i % 50, true, false);
      t.def.UpdateRawValues(packet.data(), packet.size(), t.command->idhash);
      feed.Push(kViewAll, i * 0.01, packet.data(), packet.size(), t.command->idhash);
    }
    done.store(true);
  });

  PaneFeedBatch batch;
  int rpmPoints = 0;
  int mapPoints = 0;
  int touches = 0;
  float lastTime = -1.0f;
  bool inOrder = true;
  bool valuesRight = true;
  for (;;) {
    const bool finished = done.load();
    feed.Drain(batch);
    for (const MonitorPoint& p : batch.points) {
      const int i = static_cast<int>(p.time / 0.01f + 0.5f);
      if (p.seriesKey == 1) {
        ++rpmPoints;
        inOrder = inOrder && p.time > lastTime;
        lastTime = p.time;
        valuesRight = valuesRight && p.value == static_cast<float>((i % 240) * 25);
      } else {
        ++mapPoints;
        valuesRight = valuesRight && p.value == static_cast<float>(i % 50);
      }
    }
    touches += static_cast<int>(batch.touches.size());
    if (finished) break;
    std::this_thread::yield();
  }
  worker.join();
  feed.Drain(batch);
  EXPECT_TRUE(batch.points.empty());
  EXPECT_EQ(rpmPoints, kPackets);
  EXPECT_EQ(mapPoints, kPackets);
  EXPECT_TRUE(inOrder);
  EXPECT_TRUE(valuesRight);
  EXPECT_EQ(touches, kPackets);
  EXPECT_EQ(t.histogram->SampleCount(), static_cast<std::uint32_t>(kPackets));
  EXPECT_TRUE(batch.hasPacket);  // the latest packet stays available
}

TEST(PaneFeedThreads, ResetDropsQueuedPointsAndTargetsFollowTheirCommand) {
  PanesTestDefinition t;
  PaneFeed feed;
  feed.SetDefinition(&t.def);
  feed.SetMonitorTargets({{1, 0, t.rpm}});
  const auto a = PanesTestDefinition::Packet(1000, 20, 30, true, false);
  feed.Push(kViewMonitors, 1.0, a.data(), a.size(), t.command->idhash);
  feed.RequestMonitorReset();
  EXPECT_EQ(feed.PendingPoints(), 0u);

  // A packet of another command leaves rpm at its most recent reading.
  const auto b = PanesTestDefinition::Packet(3000, 20, 30, true, false);
  feed.Push(kViewMonitors, 2.0, b.data(), b.size(), 0x1234u);
  // A trigger (no packet) gives the most recent reading too.
  feed.Push(kViewMonitors, 3.0, nullptr, 0, t.command->idhash);
  // Only the histogram bit: no monitor point.
  feed.Push(kViewHistograms, 4.0, a.data(), a.size(), t.command->idhash);
  PaneFeedBatch batch;
  feed.Drain(batch);
  EXPECT_TRUE(batch.resetMonitors);
  ASSERT_EQ(batch.points.size(), 2u);
  EXPECT_FLOAT_EQ(batch.points[0].value, 1000.0f);
  EXPECT_FLOAT_EQ(batch.points[1].value, 1000.0f);
  ASSERT_TRUE(batch.monitorTime.has_value());
  EXPECT_DOUBLE_EQ(*batch.monitorTime, 3.0);
  EXPECT_FALSE(batch.dashboards);
  feed.Drain(batch);
  EXPECT_FALSE(batch.resetMonitors);
  EXPECT_TRUE(batch.points.empty());
}
