// A worker thread drives the panes as fast as it can while the GUI thread's
// timer drains them: every monitor point reaches its chart exactly once and
// every sample its histogram.
// Definition headers first: Qt's keyword macros would rewrite names in them.
#include "tests/app/panes/PanesTestDefinition.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/panes/DashPane.h"
#include "app/panes/MonitorPane.h"
#include "app/panes/ViewPanes.h"
#include "controls/datachart/QvDataChart.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "tests/support/QtTestApp.h"

namespace {
const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);
constexpr int kPackets = 5000;
}  // namespace

TEST(ViewPanesThreads, WorkerPacketsArriveExactlyOnceWhileTheGuiDrains) {
  PanesTestDefinition t;
  ViewPanes panes;
  panes.Dash()->show();
  panes.FillDashboards(&t.def);
  panes.FillListViews(&t.def);
  panes.FillHistograms(&t.def);
  panes.BuildMonitors(&t.def);

  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < kPackets; ++i) {
      const auto packet = PanesTestDefinition::Packet((i % 240) * 25, i % 100, i % 50, i % 2 == 0, false);
      t.def.UpdateRawValues(packet.data(), packet.size(), t.command->idhash);
      panes.UpdatePanes(kViewAll, i * 0.001, packet.data(), packet.size(), t.command->idhash);
      if (i == kPackets / 2) panes.SetMonitorTimeCursor(1.0);
    }
    done.store(true);
  });

  // The GUI thread runs its event loop (and the panes' timer) meanwhile.
  QElapsedTimer clock;
  clock.start();
  while (!done.load() && clock.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  worker.join();
  panes.Flush();

  QvDataChartSeries* rpm = panes.Monitors()->Series(0, 0);
  QvDataChartSeries* map = panes.Monitors()->Series(0, 1);
  QvDataChartSeries* coolant = panes.Monitors()->Series(1, 0);
  ASSERT_EQ(rpm->GetPointCount(), kPackets);
  ASSERT_EQ(map->GetPointCount(), kPackets);
  ASSERT_EQ(coolant->GetPointCount(), kPackets);
  bool exact = true;
  for (int i = 0; i < kPackets; ++i) {
    exact = exact && rpm->GetPoint(i).x == static_cast<float>(i * 0.001);
    exact = exact && rpm->GetPoint(i).y == static_cast<float>((i % 240) * 25);
    exact = exact && coolant->GetPoint(i).y == static_cast<float>(i % 100);
  }
  EXPECT_TRUE(exact);
  EXPECT_EQ(t.histogram->SampleCount(), static_cast<std::uint32_t>(kPackets));
  // The gauges show the last packet.
  EXPECT_EQ(qobject_cast<QvAnalogGauge*>(panes.Dash()->Gauge(0))->getValue(), ((kPackets - 1) % 240) * 25);
  EXPECT_EQ(panes.Feed().PendingPoints(), 0u);
}
