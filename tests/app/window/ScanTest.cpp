// The window against the simulated demo ECU: a scan that fills every pane, a
// recording saved and refused, playback driven from the menu, the keys and the
// slider, and a close during a scan.
#include <QRegularExpression>
#include <QSlider>
#include <QTableView>
#include <QTest>

#include "app/panes/DashPane.h"
#include "app/panes/HistogramPane.h"
#include "app/panes/ItemListModel.h"
#include "app/panes/ItemListPane.h"
#include "app/panes/MonitorPane.h"
#include "app/panes/ViewPanes.h"
#include "app/window/CommandIds.h"
#include "app/window/LogControlBar.h"
#include "controls/datachart/QvDataChartSeries.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "controls/grid/QvGridControl.h"
#include "tests/app/window/WindowFixture.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ResultPrinting.h"
#include "tools/ecu-sim/EcuSimulator.h"
#include "tools/ecu-sim/ScenarioParser.h"

namespace {

const ::testing::Environment* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

const std::string kDemo = std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.adx";

class ScanFixture : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    EcuScenario scenario;
    std::string error;
    ASSERT_TRUE(
        loadScenarioFile(std::string(VARNAK_SOURCE_DIR) + "/examples/demo-ecu.scenario", scenario, error))
        << error;
    simulator_ = std::make_unique<EcuSimulator>(std::move(scenario));
    ASSERT_TRUE(simulator_->start(&error)) << error;
    MainWindow& w = Open("loadlastdef=0\n", simulator_->slavePath());
    w.resize(900, 700);
    w.show();
    ASSERT_TRUE(w.LoadDefinitionFile(kDemo));
  }
  void TearDown() override {
    window_.reset();  // stops everything before the simulator goes
    simulator_.reset();
    WindowFixture::TearDown();
  }

  void StartScan() {
    window_->RunCommand(cmd::kScan);
    ASSERT_TRUE(WaitUntil([&] { return StateText() == "ALDL: Connected"; }, 10000)) << StateText();
  }
  void StopScan() {
    window_->RunCommand(cmd::kScan);
    ASSERT_TRUE(WaitUntil(
        [&] { return StateText() == "ALDL: Not Connected" && window_->Acquisition().IsAcquisitionDone(); },
        10000));
  }
  // Lets the scan run for a while with the event loop turning.
  static void Run(int ms) {
    WaitUntil([] { return false; }, ms);
  }

  int ItemRow(const QString& title) {
    ItemListModel* model = window_->Panes().ItemLists()->Model();
    for (int row = 0; row < model->rowCount(); ++row) {
      if (model->data(model->index(row, 2), Qt::DisplayRole).toString() == title) return row;
    }
    return -1;
  }
  QString ItemText(int row) {
    ItemListModel* model = window_->Panes().ItemLists()->Model();
    return model->data(model->index(row, 1), Qt::DisplayRole).toString();
  }
  int FilledHistogramCells() {
    QvGridControl* grid = window_->Panes().Histograms()->Grid();
    int filled = 0;
    for (int r = 1; r <= grid->getRowCount(); ++r) {
      for (int c = 1; c <= grid->getColCount(); ++c) filled += grid->cellText(r, c).empty() ? 0 : 1;
    }
    return filled;
  }

  std::unique_ptr<EcuSimulator> simulator_;
};

using WindowScan = ScanFixture;

TEST_F(WindowScan, EveryPaneFollowsTheSimulatedEcu) {
  MainWindow& w = *window_;
  StartScan();
  EXPECT_EQ(w.Status().StateField()->look().textColor, 0x00FFFFFFu);
  EXPECT_EQ(w.Status().StateField()->look().backColor, 0x00FF0000u);  // blue
  ASSERT_TRUE(WaitUntil([&] {
    return QString::fromStdString(FiguresText())
        .contains(QRegularExpression("^[0-9]+\\.[0-9]{2} Hz   Errors: 0$"));
  })) << FiguresText();
  EXPECT_FALSE(LogLines().filter(QRegularExpression("^[0-9]+\\.[0-9]{3}: Command/Reply Success$")).isEmpty());

  // Item list: the engine speed text changes as the ECU's does.
  ASSERT_TRUE(w.SelectTab("Item Lists"));
  const int rpm = ItemRow("Engine speed");
  ASSERT_GE(rpm, 0);
  ASSERT_TRUE(WaitUntil([&] { return !ItemText(rpm).isEmpty(); }));
  const QString firstRpm = ItemText(rpm);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(rpm) != firstRpm; }, 8000)) << firstRpm.toStdString();

  // Dash: the first gauge's needle moves.
  ASSERT_TRUE(w.SelectTab("Dash"));
  ASSERT_GT(w.Panes().Dash()->GaugeCount(), 0);
  auto* gauge = qobject_cast<QvAnalogGauge*>(w.Panes().Dash()->Gauge(0));
  ASSERT_NE(gauge, nullptr);
  Run(300);
  const float firstValue = gauge->state().value;
  EXPECT_TRUE(WaitUntil([&] { return gauge->state().value != firstValue; }, 8000));

  // Histograms take samples whether shown or not; the grid shows them.
  ASSERT_TRUE(w.SelectTab("Histograms"));
  EXPECT_TRUE(WaitUntil([&] { return FilledHistogramCells() > 0; }));

  // Monitors: points keep arriving.
  ASSERT_TRUE(w.SelectTab("Monitors"));
  ASSERT_GT(w.Panes().Monitors()->ChartCount(), 0);
  QvDataChartSeries* series = w.Panes().Monitors()->Series(0, 0);
  ASSERT_NE(series, nullptr);
  const int points = series->GetPointCount();
  EXPECT_TRUE(WaitUntil([&] { return series->GetPointCount() > points + 3; }));

  // The definition stays while the scan reads it: no load, import or edit.
  const std::size_t objects = w.Definition().ObjectCount();
  dialogs_->asked.clear();
  w.RunCommand(cmd::kLoadDefinition);
  w.RunCommand(cmd::kImportDefinition);
  w.RunCommand(cmd::kEditDefinition);
  EXPECT_EQ(w.LoadDefinitionFile(kDemo), 0);
  EXPECT_TRUE(dialogs_->asked.empty());
  EXPECT_TRUE(editor_.pathsGiven.empty());
  EXPECT_EQ(w.Definition().ObjectCount(), objects);
  EXPECT_GE(LogLines().count("Stop scanning and close the log before changing the definition"), 1);

  StopScan();
  EXPECT_EQ(FiguresText(), "");
  EXPECT_EQ(simulator_->clientBaud(), 8192u);
}

TEST_F(WindowScan, RecordingIsSavedOnceAndNeverOverwritesALog) {
  MainWindow& w = *window_;
  StartScan();
  EXPECT_TRUE(w.LogBar()->Button(cmd::kBarRecord)->isEnabled());
  w.RunCommand(cmd::kRecord);
  EXPECT_EQ(StateText(), "Log Recording");
  EXPECT_EQ(w.Status().StateField()->look().backColor, 0x00787878u);
  EXPECT_TRUE(w.LogBar()->Button(cmd::kBarStop)->isEnabled());
  EXPECT_FALSE(w.LogBar()->Button(cmd::kBarPlay)->isEnabled());
  Run(1200);
  // While connected the figures stay the rate and the error count.
  EXPECT_TRUE(QString::fromStdString(FiguresText())
                  .contains(QRegularExpression("^[0-9]+\\.[0-9]{2} Hz   Errors: [0-9]+$")))
      << FiguresText();

  const std::string saved = Path("drive.xdl");
  dialogs_->answers[FileDialogKind::SaveLog] = {saved};
  w.RunCommand(cmd::kStop);
  EXPECT_TRUE(LogHas("Recording stopped"));
  EXPECT_TRUE(LogHas(QString::fromStdString("Log saved to " + saved)));
  EXPECT_TRUE(std::filesystem::exists(saved));
  EXPECT_FALSE(std::filesystem::exists(Path("temp.xdl")));
  const std::string folderName = folder_.substr(folder_.rfind('/') + 1);
  EXPECT_EQ(Title(), "Varnak - ADX: examples/demo-ecu.adx  XDL: " + folderName + "/drive.xdl (Speed: 100%)");
  EXPECT_EQ(w.Settings().lastxdlpath, saved);

  // The same name again: refused, the recording stays in temp.xdl.
  const auto savedSize = std::filesystem::file_size(saved);
  w.RunCommand(cmd::kRecord);
  Run(400);
  dialogs_->answers[FileDialogKind::SaveLog] = {saved};
  w.RunCommand(cmd::kStop);
  ASSERT_EQ(dialogs_->errors.size(), 1u);
  EXPECT_EQ(dialogs_->errors[0].title, "Cannot overwrite");
  EXPECT_EQ(dialogs_->errors[0].text,
            saved + " already exists. Log save failed; the recording is in " + Path("temp.xdl"));
  EXPECT_EQ(LogLines().filter(QString::fromStdString("Cannot overwrite existing log: " + saved)).size(), 1);
  EXPECT_TRUE(std::filesystem::exists(Path("temp.xdl")));
  EXPECT_EQ(std::filesystem::file_size(saved), savedSize);

  // A cancelled save dialog keeps temp.xdl too.
  w.RunCommand(cmd::kRecord);
  Run(200);
  w.RunCommand(cmd::kStop);
  EXPECT_TRUE(std::filesystem::exists(Path("temp.xdl")));
  EXPECT_EQ(StateText(), "ALDL: Connected");
  StopScan();
}

TEST_F(WindowScan, PlaybackFollowsTheMenuTheKeysAndTheSlider) {
  MainWindow& w = *window_;
  StartScan();
  w.RunCommand(cmd::kRecord);
  Run(2500);
  const std::string saved = Path("replay.xdl");
  dialogs_->answers[FileDialogKind::SaveLog] = {saved};
  w.RunCommand(cmd::kStop);
  StopScan();
  ASSERT_TRUE(std::filesystem::exists(saved));

  w.RunCommand(cmd::kSpeed25);  // slow enough to pause mid-way
  w.RunCommand(cmd::kPlay);
  EXPECT_EQ(StateText(), "Log Playing");
  EXPECT_TRUE(LogHas(QString::fromStdString("Playing " + saved)));
  const int records = static_cast<int>(w.Datalog().RecordCount());
  ASSERT_GT(records, 10);
  EXPECT_EQ(w.LogBar()->Slider()->maximum(), records);
  EXPECT_TRUE(w.LogBar()->Button(cmd::kBarPause)->isEnabled());
  EXPECT_FALSE(w.LogBar()->Button(cmd::kBarLoadLog)->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return w.LogBar()->Slider()->value() > 0; }));
  ASSERT_TRUE(WaitUntil([&] {
    return QString::fromStdString(FiguresText())
        .contains(QRegularExpression("^[0-9]+\\.[0-9]{2} Hz  0:0:0[0-9]:[0-9]{3}$"));
  })) << FiguresText();

  // Space pauses while playing and plays while paused.
  w.activateWindow();
  QTest::keyClick(&w, Qt::Key_Space);
  EXPECT_EQ(StateText(), "Log Paused");
  EXPECT_EQ(w.Status().StateField()->look().backColor, 0x002873FFu);
  EXPECT_TRUE(LogHas("Playback paused"));

  // While paused the slider and the jumps move the position.
  EXPECT_TRUE(w.LogBar()->Slider()->isEnabled());
  w.LogBar()->Slider()->setValue(2);  // as the user drags it
  EXPECT_EQ(w.Datalog().SampleIndex(), 2);
  w.RunCommand(cmd::kJumpForward);
  EXPECT_EQ(w.Datalog().SampleIndex(), 12);
  w.RunCommand(cmd::kJumpBackward);
  EXPECT_EQ(w.Datalog().SampleIndex(), 2);
  w.RunCommand(cmd::kJumpBackward);
  EXPECT_EQ(w.Datalog().SampleIndex(), 0);

  QTest::keyClick(&w, Qt::Key_Space);
  EXPECT_EQ(StateText(), "Log Playing");
  EXPECT_TRUE(LogHas("Playback unpaused"));

  // Stop ends playback through the control thread.
  w.RunCommand(cmd::kStop);
  ASSERT_TRUE(WaitUntil([&] { return LogHas("Playback stopped"); }));
  EXPECT_EQ(StateText(), "ALDL: Not Connected");
  EXPECT_EQ(w.LogBar()->Slider()->value(), 0);
  EXPECT_EQ(w.Datalog().State(), XDL_STATE_CLOSED);

  // Played to its end at 400%, the log closes by itself.
  w.RunCommand(cmd::kSpeed400);
  w.Output()->clear();
  w.RunCommand(cmd::kPlay);
  ASSERT_TRUE(WaitUntil([&] { return LogHas("Playback stopped"); }, 10000));
  EXPECT_EQ(StateText(), "ALDL: Not Connected");
  EXPECT_TRUE(w.LogBar()->Button(cmd::kBarPlay)->isEnabled());
}

TEST_F(WindowScan, ClosingDuringAScanStopsItFirst) {
  MainWindow& w = *window_;
  StartScan();
  w.close();
  EXPECT_TRUE(w.isVisible());  // the close waits for the control thread
  EXPECT_TRUE(w.CloseRequested());
  bool runningWhenHidden = true;
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (w.isVisible()) return false;
        runningWhenHidden = w.Acquisition().IsRunning() || !w.Acquisition().IsAcquisitionDone();
        return true;
      },
      10000));
  EXPECT_FALSE(runningWhenHidden);
  EXPECT_TRUE(LogHas("Playback stopped"));  // the datalog-stopped message came before the close
  // The disconnect command ran before the port closed.
  const EcuBytes received = simulator_->receivedBytes();
  const EcuBytes disconnect = {0xF4, 0x56, 0x09, 0xAD};
  EXPECT_NE(std::search(received.begin(), received.end(), disconnect.begin(), disconnect.end()),
            received.end());
  EXPECT_TRUE(std::filesystem::exists(SettingsPath()));
}

}  // namespace
