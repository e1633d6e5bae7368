// Every control paints at the screen's device pixel ratio: run at scale 2
// (QT_SCALE_FACTOR set before the application starts), their pictures have
// twice the pixels of their logical size, and a one-pixel line is drawn with
// device pixels, not stretched from a logical-pixel picture.
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/chart2d/QvChart2D.h"
#include "controls/chart3d/Qv3DChart.h"
#include "controls/datachart/QvDataChart.h"
#include "controls/gauges/QvAnalogGauge.h"
#include "controls/grid/QvGridControl.h"
#include "tests/support/QtTestApp.h"

namespace {

// Registered before the application: the scale is read when it starts.
class ScaleTwo : public ::testing::Environment {
 public:
  void SetUp() override { setenv("QT_SCALE_FACTOR", "2", 1); }
};
const auto* const kScale = ::testing::AddGlobalTestEnvironment(new ScaleTwo);
const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

// Columns of the middle row that differ from their left neighbour: a picture
// drawn at logical pixels and stretched changes colour only on even columns.
int OddEdges(const QImage& image) {
  int odd = 0;
  const int y = image.height() / 2;
  for (int x = 1; x < image.width(); x += 2) odd += image.pixel(x, y) != image.pixel(x - 1, y);
  return odd;
}

TEST(HighDpi, ChartsAndGaugesPaintWithDevicePixels) {
  QWidget window;
  window.resize(400, 300);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_DOUBLE_EQ(window.devicePixelRatioF(), 2.0);

  auto* data = new QvDataChart(&window);
  data->setGeometry(0, 0, 200, 150);
  QvDataChartAxis* x = data->addAxis();
  x->SetPosition(DcAxisBottom);
  x->SetVisibleRange(0, 10);
  x->SetFullRange(0, 10);
  QvDataChartAxis* y = data->addAxis();
  y->SetVisibleRange(0, 10);
  y->SetFullRange(0, 10);
  QvDataChartSeries* series = data->addSeries();
  series->SetXAxis(x);
  series->SetYAxis(y);
  for (int i = 0; i <= 10; ++i) series->AddPoint(static_cast<float>(i), static_cast<float>((i * 7) % 10));
  const QImage dataFrame = data->renderFrame();
  EXPECT_EQ(dataFrame.size(), QSize(400, 300));
  EXPECT_DOUBLE_EQ(dataFrame.devicePixelRatio(), 2.0);
  EXPECT_GT(OddEdges(dataFrame), 0);

  auto* chart = new QvChart2D(&window);
  chart->setGeometry(0, 150, 200, 150);
  QvChart2DSeries* diagonal = chart->insertSeries(1, true);
  for (float v : {-100.0f, 0.0f, 100.0f}) diagonal->AddPoint({v, v, 0, 0});
  const QImage chartFrame = chart->renderFrame();
  EXPECT_EQ(chartFrame.size(), QSize(400, 300));
  EXPECT_GT(OddEdges(chartFrame), 0);

  auto* grid = new QvGridControl(&window);
  grid->setGeometry(200, 0, 200, 150);
  EXPECT_EQ(grid->renderFrame().size(), QSize(400, 300));

  auto* cube = new Qv3DChart(&window);
  cube->setGeometry(200, 150, 200, 150);
  EXPECT_EQ(cube->renderFrame().size(), QSize(400, 300));

  QvAnalogGauge gauge;
  gauge.resize(180, 180);
  const QImage dial = gauge.grab().toImage();
  EXPECT_EQ(dial.size(), QSize(360, 360));
  EXPECT_GT(OddEdges(dial), 0);
}

}  // namespace
