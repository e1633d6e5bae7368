#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>
#include <cstdio>

#include "controls/chart3d/Qv3DChart.h"
#include "controls/common/QvColor.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

std::string Label(double v) {
  char text[32];
  std::snprintf(text, sizeof text, v == std::floor(v) ? "%.0f" : "%.3f", v);
  return text;
}

class Chart3DTest : public ::testing::Test {
 protected:
  void SetUp() override { chart.resize(640, 480); }

  // A 16 x 16 table of spark advance over rpm (columns) and load (rows), given
  // the way the histogram pane gives it.
  void FillHistogram() {
    chart.setRedraw(false);
    chart.newPlot();
    chart.setCaption("Spark Table - Load vs RPM vs Spark Advance");
    chart.setSize(16, 16);
    for (int c = 0; c < 16; ++c) chart.setColumnLabel(c, Label(400 + c * 400));
    for (int r = 0; r < 16; ++r) chart.setRowLabel(r, Label(10 + r * 6));
    chart.setXRange(400, 6400);
    chart.setYRange(10, 100);
    chart.setAxisTitles("RPM", "Load", "Advance");
    for (int r = 0; r < 16; ++r)
      for (int c = 0; c < 16; ++c) {
        std::optional<float> z;
        if ((r * 7 + c * 3) % 11 != 0)
          z = static_cast<float>(8.0 + c * 1.6 - r * 0.9 + std::sin(r * 0.7) * 2.0);
        chart.setPoint(r, c, 400 + c * 400, 10 + r * 6, z);
      }
    chart.setRedraw(true);
  }

  void Mouse(QEvent::Type type, QPointF at) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, chart.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&chart, &event);
  }

  Qv3DChart chart;
};

TEST_F(Chart3DTest, KeepsWhatThePaneGivesAndRejectsCellsOutsideTheTable) {
  EXPECT_STREQ(Qv3DChart::kClassName, "3DCHART");
  FillHistogram();
  EXPECT_EQ(chart.rowCount(), 16);
  EXPECT_EQ(chart.columnCount(), 16);
  EXPECT_EQ(chart.columnLabel(15), "6400");
  EXPECT_EQ(chart.rowLabel(0), "10");
  EXPECT_EQ(chart.xRange(), (C3Range{400, 6400}));
  EXPECT_FALSE(chart.setPoint(16, 0, 0, 0, 1.0f));
  EXPECT_FALSE(chart.setPoint(0, -1, 0, 0, 1.0f));
  EXPECT_FALSE(chart.setRowLabel(16, "x"));
  EXPECT_EQ(chart.rowLabel(16), "");
  EXPECT_FALSE(chart.pointValue(0, 0).has_value());  // (0 * 7 + 0) % 11 == 0: no samples
  // A single-point update replaces that point only, and a value that is not
  // a number counts as none.
  EXPECT_TRUE(chart.setPoint(0, 0, 400, 10, 50.0f));
  EXPECT_FLOAT_EQ(*chart.pointValue(0, 0), 50.0f);
  EXPECT_DOUBLE_EQ(chart.valueRange().max, 50.0);
  EXPECT_TRUE(chart.setPoint(0, 0, 400, 10, std::nanf("")));
  EXPECT_FALSE(chart.pointValue(0, 0).has_value());
  // Texts are cut to their limits.
  chart.setCaption(std::string(300, 'c'));
  EXPECT_EQ(chart.caption().size(), Qv3DChart::kMaxCaption);
  chart.setColumnLabel(0, std::string(40, 'l'));
  EXPECT_EQ(chart.columnLabel(0).size(), Qv3DChart::kMaxLabel);
  chart.setSize(1000, 300);
  EXPECT_EQ(chart.rowCount(), Qv3DChart::kMaxRows);
  EXPECT_EQ(chart.columnCount(), Qv3DChart::kMaxColumns);
}

TEST_F(Chart3DTest, NewPlotStartsEmptyButKeepsTheView) {
  FillHistogram();
  chart.setView({100, 60});
  chart.newPlot();
  EXPECT_EQ(chart.rowCount(), 0);
  EXPECT_EQ(chart.caption(), "");
  EXPECT_EQ(chart.view(), (C3View{100, 60}));
  EXPECT_FALSE(chart.renderFrame().isNull());  // an empty plot still draws
}

TEST_F(Chart3DTest, DraggingTurnsThePlotAndDoubleClickBringsBackTheFirstView) {
  int turns = 0;
  QObject::connect(&chart, &Qv3DChart::viewChanged, [&](Qv3DChart*, C3View) { ++turns; });
  const C3View first = chart.view();
  Mouse(QEvent::MouseButtonPress, {300, 200});
  Mouse(QEvent::MouseMove, {340, 220});
  Mouse(QEvent::MouseMove, {360, 230});
  Mouse(QEvent::MouseButtonRelease, {360, 230});
  EXPECT_EQ(chart.view(), Chart3DRotate(first, 60, 30));
  EXPECT_EQ(turns, 2);
  // Moving without the button turns nothing.
  Mouse(QEvent::MouseMove, {100, 100});
  EXPECT_EQ(turns, 2);
  QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(&chart, &left);
  EXPECT_EQ(chart.view(), Chart3DRotate(Chart3DRotate(first, 60, 30), -10, 0));
  Mouse(QEvent::MouseButtonDblClick, {10, 10});
  EXPECT_EQ(chart.view(), first);
}

TEST_F(Chart3DTest, BarsArePaintedInTheColourOfTheirValue) {
  chart.setSize(2, 2);
  chart.setView({0, 89});  // nearly from above: the tops fill the cells
  chart.setPoint(0, 0, 0, 0, 0.0f);
  chart.setPoint(0, 1, 0, 0, 10.0f);
  chart.setPoint(1, 0, 0, 0, 5.0f);
  const QImage frame = chart.renderFrame();
  const C3Projection proj = chart.projection();
  auto colourAt = [&](int row, int column, double value) {
    const double x = Chart3DAxisPosition(0, column, 2, 0, 0), y = Chart3DAxisPosition(0, row, 2, 0, 0);
    const C3Screen s = proj.project({x, y, Chart3DHeightOf(chart.valueRange(), value)});
    return frame.pixelColor(static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y)));
  };
  EXPECT_EQ(colourAt(0, 1, 10), QvColorFromRef(Chart3DHeatColor(1.0)));
  EXPECT_EQ(colourAt(1, 0, 5), QvColorFromRef(Chart3DHeatColor(0.5)));
  EXPECT_EQ(colourAt(0, 0, 0), QvColorFromRef(Chart3DHeatColor(0.0)));
  // The cell without a value shows the floor.
  EXPECT_EQ(colourAt(1, 1, 0), QColor(238, 238, 238));
  // The pointer finds the bars as drawn; the tooltip names them.
  auto pointAt = [&](int row, int column, double value) {
    const C3Screen s =
        proj.project({Chart3DAxisPosition(0, column, 2, 0, 0), Chart3DAxisPosition(0, row, 2, 0, 0),
                      Chart3DHeightOf(chart.valueRange(), value)});
    return QPoint(static_cast<int>(s.x), static_cast<int>(s.y));
  };
  EXPECT_EQ(chart.cellAt(pointAt(0, 1, 10)), (std::optional<std::pair<int, int>>({0, 1})));
  EXPECT_EQ(chart.cellAt(pointAt(1, 0, 5)), (std::optional<std::pair<int, int>>({1, 0})));
  EXPECT_FALSE(chart.cellAt(pointAt(1, 1, 0)));
  EXPECT_FALSE(chart.cellAt(QPoint(2, 2)));
  chart.setRowLabel(1, "58");
  chart.setColumnLabel(0, "2400");
  EXPECT_EQ(chart.pointText(1, 0), "58, 2400: 5");
  chart.setAxisTitles("RPM", "Load", "Advance");
  chart.setPoint(1, 0, 0, 0, 9.5f);
  EXPECT_EQ(chart.pointText(1, 0), "Load 58, RPM 2400: 9.500");
  EXPECT_EQ(chart.pointText(1, 1), "Load 58, RPM: -");
  EXPECT_EQ(chart.pointText(2, 0), "");
}

TEST_F(Chart3DTest, DrawsAHistogramAsBarsAndAsASurface) {
  FillHistogram();
  QImage bars = chart.renderFrame();
  EXPECT_TRUE(bars.save("chart3d_bars.png"));
  chart.setPlotStyle(Qv3DChart::PlotStyle::Surface);
  chart.setView({220, 40});
  QImage surface = chart.renderFrame();
  EXPECT_TRUE(surface.save("chart3d_surface.png"));
  EXPECT_NE(bars, surface);
  // Something of the plot's colours lands in the picture.
  int coloured = 0;
  for (int y = 0; y < surface.height(); y += 4)
    for (int x = 0; x < surface.width(); x += 4)
      if (surface.pixelColor(x, y).saturation() > 100) ++coloured;
  EXPECT_GT(coloured, 500);
}

}  // namespace
