// The window's hand-over from worker threads to the GUI thread, with the
// window hidden so that only the program's own threads run (painting would
// start Qt's own pooled threads).
#include <atomic>
#include <thread>

#include "acquisition/control/AcquisitionDisplay.h"
#include "app/panes/MonitorPane.h"
#include "app/panes/ViewPanes.h"
#include "app/window/CommandIds.h"
#include "app/window/LogControlBar.h"
#include "controls/datachart/QvDataChartSeries.h"
#include "tests/app/window/WindowFixture.h"
#include "tests/support/QtTestApp.h"
#include "tools/ecu-sim/EcuSimulator.h"
#include "tools/ecu-sim/ScenarioParser.h"

#include <QSlider>

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

TEST(OutputLogThreads, KeepsEveryLineOfEveryThreadInOrder) {
  OutputLog log;
  constexpr int kThreads = 4;
  constexpr int kLines = 400;
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLines; ++i) log.AppendLine("t" + std::to_string(t) + ":" + std::to_string(i));
      finished.fetch_add(1);
    });
  }
  ASSERT_TRUE(WaitUntil([&] { return finished.load() == kThreads; }, 20000));
  for (auto& thread : threads) thread.join();
  const QStringList lines = log.Lines();
  ASSERT_EQ(lines.size(), kThreads * kLines);
  std::vector<int> next(kThreads, 0);
  for (const QString& line : lines) {
    const int t = line.mid(1, line.indexOf(':') - 1).toInt();
    EXPECT_EQ(line.mid(line.indexOf(':') + 1).toInt(), next[t]++);
  }
  // A clear from another thread empties what came before it only.
  std::thread([&] {
    log.AppendLine("old");
    log.Clear();
    log.AppendLine("new");
  }).join();
  EXPECT_EQ(log.Lines(), QStringList({"new"}));
}

using HiddenWindow = WindowFixture;

TEST_F(HiddenWindow, WorkersReachTheWindowOnlyThroughQueuedCalls) {
  MainWindow& w = Open();
  IAcquisitionDisplay& display = w.Acquisition().Display();
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i <= 300; ++i) {
        display.RefreshStatus();
        display.RefreshLoggerToolbar();
        display.SetSlider(i);
        if (i % 50 == 0) display.FlashStatus("ALDL Data Error!", 0, 255, 500);
        w.Log().Log("thread %d line %d", t, i);
      }
      finished.fetch_add(1);
    });
  }
  display.SetSliderRange(300);
  ASSERT_TRUE(WaitUntil([&] { return finished.load() == 3; }, 20000));
  for (auto& thread : threads) thread.join();
  WaitUntil([] { return false; }, 50);
  EXPECT_EQ(w.LogBar()->Slider()->value(), 300);  // the newest position wins
  EXPECT_EQ(LogLines().size(), 3 * 301);
  EXPECT_EQ(StateText(), "ALDL Data Error!");  // a flash shows over the state
}

TEST_F(HiddenWindow, ScanFeedsThePanesAndCloseStopsItFirst) {
  EcuScenario scenario;
  std::string error;
  ASSERT_TRUE(
      loadScenarioFile(std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.scenario", scenario, error));
  EcuSimulator simulator(std::move(scenario));
  ASSERT_TRUE(simulator.start(&error)) << error;
  MainWindow& w = Open("loadlastdef=0\n", simulator.slavePath());
  ASSERT_TRUE(w.LoadDefinitionFile(std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.adx"));
  bool closing = false;
  QObject::connect(&w, &MainWindow::aboutToClose, [&] { closing = true; });

  w.RunCommand(cmd::kScan);
  ASSERT_TRUE(WaitUntil([&] { return StateText() == "ALDL: Connected"; }, 10000)) << StateText();
  QvDataChartSeries* series = w.Panes().Monitors()->Series(0, 0);
  ASSERT_NE(series, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return series->GetPointCount() > 5; }));

  w.RunCommand(cmd::kExit);
  EXPECT_FALSE(closing);
  bool stoppedFirst = false;
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (!closing) return false;
        stoppedFirst = w.Acquisition().IsAcquisitionDone() && !w.Acquisition().IsRunning();
        return true;
      },
      10000));
  EXPECT_TRUE(stoppedFirst);
  window_.reset();
}

}  // namespace
