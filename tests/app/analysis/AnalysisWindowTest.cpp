// The analysis window under the offscreen platform: a generated log opened
// with its definition, channels picked, the cursor read from the table, zoom,
// a selected range that the scatter and the histograms follow, the
// comparison, the export, and Cancel while a large log is read.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/analysis/AnalysisWindow.h"
#include "app/analysis/ScatterWidget.h"
#include "app/analysis/StripChartWidget.h"
#include "app/panes/HistogramPane.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/QtTestApp.h"

namespace {

using namespace analysistest;

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

class AnalysisWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ADXDefinition def;
    engine = BuildEngineDefinition(def);
    adx = dir.File("engine.adx");
    ASSERT_EQ(SaveAdx(&def, adx.c_str(), nullptr), 1);
    ADXDefinition revised;
    BuildEngineDefinition(revised, 1);
    revisedAdx = dir.File("revised.adx");
    ASSERT_EQ(SaveAdx(&revised, revisedAdx.c_str(), nullptr), 1);
  }
  std::string WriteLog(std::size_t records, const char* name = "drive.xdl") {
    const std::string path = dir.File(name);
    xdltest::WriteAll(path, xdltest::BuildLog(EngineEntries(engine), EngineRecords(records)));
    return path;
  }
  // Opens the log and waits for the read to end; false when it failed.
  bool OpenAndWait(AnalysisWindow& window, const std::string& log) {
    if (!window.Open(adx, log)) return false;
    QSignalSpy done(&window, &AnalysisWindow::loadFinished);
    if (!done.wait(20000)) return false;
    return done.front().front().toBool();
  }
  // The cursor table's text in a row and column.
  static QString TableText(QTableWidget* table, int row, int column) {
    QTableWidgetItem* item = table->item(row, column);
    return item != nullptr ? item->text() : QString();
  }

  xdltest::ScratchDir dir;
  EngineDefinition engine;
  std::string adx;
  std::string revisedAdx;
};

TEST_F(AnalysisWindowTest, CursorZoomAndSelectionDriveTheViews) {
  AnalysisWindow window;
  window.resize(1200, 800);
  window.show();
  ASSERT_TRUE(OpenAndWait(window, WriteLog(2000)));
  ASSERT_TRUE(window.IsLoaded());
  // The first histogram's inputs and output are shown to begin with.
  EXPECT_EQ(window.ShownChannels(), (QStringList{"RPM", "MAP", "SPARK"}));

  window.ShowChannels({"RPM", "TEMP", "KNOCK"});
  ASSERT_EQ(window.Charts()->Channels().size(), 3u);
  QTableWidget* table = window.CursorTable();
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(TableText(table, 0, 0), "Engine Speed (rpm)");

  // Record 40 (1.000 s) is FAST; TEMP comes from record 39, the SLOW one before it.
  const std::vector<xdltest::RawRecord> records = EngineRecords(2000);
  window.SetCursor(1.0);
  const auto& fast = records[40].payload;
  const auto& slow = records[39].payload;
  EXPECT_EQ(TableText(table, 0, 1).toDouble(), ((fast[2] << 8) | fast[3]) * 0.25);
  EXPECT_EQ(TableText(table, 1, 1), QString::number(slow[0] - 40));
  EXPECT_EQ(TableText(table, 2, 1), QString::number(fast[6] & 1));
  // Statistics of the whole log: 1500 FAST and 500 SLOW records.
  EXPECT_EQ(TableText(table, 0, 3), "1500");
  EXPECT_EQ(TableText(table, 1, 3), "500");

  // The wheel zooms around the pointer; a double click resets.
  StripChartWidget* charts = window.Charts();
  const TimeView whole = charts->View();
  QWheelEvent wheel(QPointF(charts->PlotRect().center()), charts->mapToGlobal(charts->PlotRect().center()),
                    QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(charts, &wheel);
  EXPECT_NEAR(charts->View().Span(), whole.Span() * 0.64, 1e-9);
  QTest::mouseDClick(charts, Qt::LeftButton, Qt::NoModifier, charts->PlotRect().center());
  EXPECT_EQ(charts->View(), whole);

  // A dragged range becomes the selection; the scatter and the histograms follow.
  const QRect plot = charts->PlotRect();
  const int x0 = plot.left() + plot.width() / 4;
  const int x1 = plot.left() + plot.width() / 2;
  QTest::mousePress(charts, Qt::LeftButton, Qt::NoModifier, QPoint(x0, plot.center().y()));
  QMouseEvent move(QEvent::MouseMove, QPointF(x1, plot.center().y()),
                   charts->mapToGlobal(QPointF(x1, plot.center().y())), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(charts, &move);
  QTest::mouseRelease(charts, Qt::LeftButton, Qt::NoModifier, QPoint(x1, plot.center().y()));
  ASSERT_TRUE(charts->Selection().has_value());
  const TimeView selected = *charts->Selection();
  EXPECT_NEAR(selected.from, whole.Span() / 4, whole.Span() / plot.width() * 2);
  const LogData& log = *window.Log();
  const std::size_t first = log.LowerBound(selected.from), end = log.UpperBound(selected.to);
  std::size_t fastInRange = 0;
  for (std::size_t r = first; r < end; ++r) fastInRange += records[r].entryIndex == 0 ? 1 : 0;
  window.SetScatterChannels("RPM", "MAP", "SPARK");
  EXPECT_EQ(window.Scatter()->Points().records, end - first);  // every record carries RPM's last reading
  auto* spark = static_cast<ADXHistogram*>(nullptr);
  for (ADXHistogram* h : window.Histograms()->Histograms()) {
    if (std::string(h->id) == "SPKMAP") spark = h;
  }
  ASSERT_NE(spark, nullptr);
  EXPECT_EQ(spark->SampleCount(), fastInRange);
  EXPECT_EQ(TableText(table, 0, 3), QString::number(fastInRange));

  charts->ZoomToSelection();
  EXPECT_EQ(charts->View(), selected);
  charts->ResetView();
  // A drag with Ctrl zooms to the dragged range and leaves the selection.
  QTest::mousePress(charts, Qt::LeftButton, Qt::ControlModifier, QPoint(x0, plot.center().y()));
  QTest::mouseRelease(charts, Qt::LeftButton, Qt::ControlModifier, QPoint(x1, plot.center().y()));
  EXPECT_NEAR(charts->View().from, selected.from, whole.Span() / plot.width() * 2);
  EXPECT_NEAR(charts->View().to, selected.to, whole.Span() / plot.width() * 2);
  EXPECT_EQ(*charts->Selection(), selected);

  window.ClearSelection();
  EXPECT_EQ(spark->SampleCount(), 1500u);
  SaveRender(window, QStringLiteral("analysis-window"));
}

TEST_F(AnalysisWindowTest, CompareOverlaysAndListsTheDifferences) {
  AnalysisWindow window;
  ASSERT_TRUE(OpenAndWait(window, WriteLog(400)));
  window.ShowChannels({"MAP", "LOAD"});
  QSignalSpy compared(&window, &AnalysisWindow::compareFinished);
  ASSERT_TRUE(window.Compare(revisedAdx));
  ASSERT_TRUE(compared.wait(20000));
  QTableWidget* diff = window.DiffTable();
  ASSERT_EQ(diff->rowCount(), 3);
  EXPECT_EQ(TableText(diff, 0, 0), "MAP");
  EXPECT_EQ(TableText(diff, 0, 2), "300");
  EXPECT_EQ(TableText(diff, 1, 4), "only in A");
  EXPECT_EQ(TableText(diff, 2, 4), "only in B");
  // MAP has the compare definition's column over its own; LOAD has none.
  ASSERT_EQ(window.Charts()->Channels().size(), 2u);
  ASSERT_NE(window.Charts()->Channels()[0].overlay, nullptr);
  EXPECT_EQ(window.Charts()->Channels()[1].overlay, nullptr);
  window.SetCursor(0.0);
  EXPECT_EQ(TableText(window.CursorTable(), 0, 2).toDouble(),
            TableText(window.CursorTable(), 0, 1).toDouble() + 1.0);
  EXPECT_FALSE(window.Compare(dir.File("missing.adx")));
}

TEST_F(AnalysisWindowTest, OpeningAnotherLogStopsARunningComparison) {
  AnalysisWindow window;
  ASSERT_TRUE(OpenAndWait(window, WriteLog(300000, "long.xdl")));
  ASSERT_TRUE(window.Compare(revisedAdx));
  EXPECT_TRUE(window.IsComparing());
  // The comparison reads the log that the next Open replaces.
  ASSERT_TRUE(OpenAndWait(window, WriteLog(50)));
  EXPECT_FALSE(window.IsComparing());
  EXPECT_EQ(window.Log()->RecordCount(), 50u);
  EXPECT_EQ(window.DiffTable()->rowCount(), 0);
}

TEST_F(AnalysisWindowTest, ExportWritesTheSelectionWithUnits) {
  AnalysisWindow window;
  ASSERT_TRUE(OpenAndWait(window, WriteLog(40)));
  window.ShowChannels({"RPM", "TEMP"});
  window.SelectRange(0.1, 0.2);  // records 4 .. 8
  const std::string out = dir.File("out.csv");
  std::string error;
  ASSERT_TRUE(window.ExportSelection(out, &error)) << error;
  std::ifstream in(out, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::vector<xdltest::RawRecord> records = EngineRecords(40);
  std::string expected = "time_s,Engine Speed,Coolant\r\ns,rpm,degC\r\n";
  for (int r = 4; r <= 8; ++r) {
    const auto& p = records[r].payload;
    std::ostringstream row;
    row << (r * 25) / 1000.0 << ','
        << (r % 4 == 3 ? records[r - 1].payload[2] * 256 + records[r - 1].payload[3] : (p[2] << 8) | p[3]) *
               0.25
        << ',' << (r < 7 ? records[3].payload[0] - 40 : records[7].payload[0] - 40) << "\r\n";
    expected += row.str();
  }
  EXPECT_EQ(text.str(), expected);
  EXPECT_FALSE(window.ExportSelection(dir.File("no/such/folder/out.csv"), &error));
}

TEST_F(AnalysisWindowTest, CancelWhileReadingALargeLog) {
  AnalysisWindow window;
  const std::string log = WriteLog(600000, "large.xdl");
  ASSERT_TRUE(window.Open(adx, log));
  QSignalSpy done(&window, &AnalysisWindow::loadFinished);
  window.CancelLoading();
  ASSERT_TRUE(done.wait(20000));
  EXPECT_FALSE(done.front().front().toBool());
  EXPECT_FALSE(window.IsLoaded());
  EXPECT_TRUE(window.StatusText().contains("cancelled"));
  // The window can open a log again after a cancelled read.
  EXPECT_TRUE(OpenAndWait(window, WriteLog(100)));
}

TEST_F(AnalysisWindowTest, BadFilesAreReportedInTheWindow) {
  AnalysisWindow window;
  EXPECT_FALSE(window.Open(dir.File("missing.adx"), WriteLog(10)));
  EXPECT_TRUE(window.StatusText().contains("Cannot load the definition"));
  EXPECT_FALSE(window.Open("", WriteLog(10)));
  EXPECT_TRUE(window.StatusText().contains("Load a definition first"));
  EXPECT_FALSE(OpenAndWait(window, dir.File("missing.xdl")));
  EXPECT_TRUE(window.StatusText().contains("Cannot read"));
}

}  // namespace
