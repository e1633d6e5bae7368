#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "controls/common/QvColor.h"
#include "controls/datachart/QvDataChart.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

class DataChartTest : public ::testing::Test {
 protected:
  void SetUp() override { chart.resize(600, 300); }

  // The monitor panes' set-up: a scrolling time axis at the bottom, one value axis.
  void MonitorSetUp() {
    time = chart.addAxis();
    time->SetTitle("Time (M:S)");
    time->SetPosition(DcAxisBottom);
    time->SetVisibleRange(0, 20);
    time->SetFullRange(0, 20);
    time->SetFlags(0x70);
    time->SetLabelFormatter(QvDataChartTimeLabel);
    value = chart.addAxis();
    value->SetTitle("RPM");
    value->SetVisibleRange(0, 6000);
    value->SetFullRange(0, 6000);
    series = chart.addSeries();
    ASSERT_EQ(series->SetXAxis(time), 1);
    ASSERT_EQ(series->SetYAxis(value), 1);
    series->SetColor(0x0000FF);  // red
  }

  QvDataChart chart;
  QvDataChartAxis* time = nullptr;
  QvDataChartAxis* value = nullptr;
  QvDataChartSeries* series = nullptr;
};

TEST_F(DataChartTest, SeriesAndAxesAreOwnedAndLookedUpByIndex) {
  EXPECT_STREQ(QvDataChart::kClassName, "QVDATACHART");
  QvDataChartSeries* a = chart.addSeries();
  QvDataChartSeries* b = chart.addSeries();
  EXPECT_EQ(chart.getSeriesCount(), 2);
  EXPECT_EQ(chart.getSeries(1), b);
  EXPECT_EQ(chart.getSeries(2), nullptr);
  EXPECT_EQ(chart.getSeries(-1), nullptr);
  EXPECT_EQ(chart.removeSeries(5), 0);
  EXPECT_EQ(chart.removeSeries(0), 1);
  EXPECT_EQ(chart.getSeries(0), b);
  (void)a;

  QvDataChartAxis* x = chart.addAxis();
  x->SetPosition(DcAxisBottom);
  QvDataChartAxis* y = chart.addAxis();
  EXPECT_EQ(chart.getAxisCount(), 2);
  // Each binding accepts only the right orientation.
  EXPECT_EQ(b->SetXAxis(y), 0);
  EXPECT_EQ(b->SetYAxis(x), 0);
  EXPECT_EQ(b->GetXAxis(), nullptr);
  EXPECT_EQ(b->SetXAxis(x), 1);
  EXPECT_EQ(b->SetYAxis(y), 1);
  // An axis in use stays; an unused one goes.
  EXPECT_EQ(chart.removeAxis(0), 0);
  EXPECT_EQ(chart.getAxis(0), x);
  QvDataChartAxis* spare = chart.addAxis();
  EXPECT_EQ(chart.removeAxis(2), 1);
  EXPECT_EQ(chart.getAxisCount(), 2);
  EXPECT_EQ(chart.removeAxis(7), 0);
  (void)spare;
  // Removing all axes takes the series with them, so no series is left pointing at a dead axis.
  EXPECT_EQ(chart.removeAllAxes(), 1);
  EXPECT_EQ(chart.getSeriesCount(), 0);
  EXPECT_EQ(chart.getAxisCount(), 0);
}

TEST_F(DataChartTest, PointsBoundsAndIndexChecks) {
  QvDataChartSeries* s = chart.addSeries();
  QvDataChartBounds bounds = s->GetBounds();
  EXPECT_EQ(bounds.minX, FLT_MAX);
  EXPECT_EQ(bounds.maxY, -FLT_MAX);
  EXPECT_EQ(s->AddPoint(1, 10), 1);
  EXPECT_EQ(s->AddPoint(3, -5), 2);
  EXPECT_EQ(s->AddPoint(2, 40), 3);
  bounds = s->GetBounds();
  EXPECT_FLOAT_EQ(bounds.minX, 1);
  EXPECT_FLOAT_EQ(bounds.maxX, 3);
  EXPECT_FLOAT_EQ(bounds.minY, -5);
  EXPECT_FLOAT_EQ(bounds.maxY, 40);
  // Past the end: zeros and no change.
  EXPECT_EQ(s->GetX(3), 0.0f);
  EXPECT_EQ(s->GetY(-1), 0.0f);
  s->SetPoint(100, 100, 3);
  s->RemovePoint(9);
  EXPECT_EQ(s->GetPointCount(), 3);
  EXPECT_FLOAT_EQ(s->GetBounds().maxX, 3);
  // A removed extreme no longer counts in the bounds.
  s->RemovePoint(2);
  EXPECT_FLOAT_EQ(s->GetBounds().maxY, 10);
  s->SetY(7, 1);
  EXPECT_FLOAT_EQ(s->GetY(1), 7);
  EXPECT_FLOAT_EQ(s->GetBounds().minY, 7);

  const float xs[] = {5, 6, 7};
  const float ys[] = {1, 2, 3};
  EXPECT_EQ(s->SetPoints(xs, ys, 3, false), 5);
  EXPECT_FLOAT_EQ(s->GetBounds().minX, 1);
  EXPECT_EQ(s->SetPoints(xs, ys, 3, true), 3);
  EXPECT_FLOAT_EQ(s->GetBounds().minX, 5);
  EXPECT_FLOAT_EQ(s->GetBounds().maxY, 3);
  EXPECT_EQ(s->SetPoints(nullptr, ys, 3, false), 3);
  EXPECT_EQ(s->SetPoints(xs, ys, -4, false), 3);
  EXPECT_EQ(chart.clearData(), 1);
  EXPECT_EQ(s->GetPointCount(), 0);
  EXPECT_EQ(s->GetBounds().minX, FLT_MAX);
}

TEST_F(DataChartTest, SeriesGivenTheSameTimesShareThemAndStayIndependent) {
  MonitorSetUp();
  QvDataChartSeries* b = chart.addSeries();
  ASSERT_EQ(b->SetXAxis(time), 1);
  ASSERT_EQ(b->SetYAxis(value), 1);
  QvDataChartSeries* c = chart.addSeries();
  ASSERT_EQ(c->SetXAxis(time), 1);
  ASSERT_EQ(c->SetYAxis(value), 1);
  // A monitor's packets: every series takes each time; c lags behind and
  // then catches up in a batch, as the pane feed delivers.
  for (int i = 0; i < 1000; ++i) {
    const float t = 0.1f * static_cast<float>(i);
    series->AddPoint(t, static_cast<float>(i));
    b->AddPoint(t, static_cast<float>(-i));
  }
  for (int i = 0; i < 1000; ++i) c->AddPoint(0.1f * static_cast<float>(i), 7.0f);
  EXPECT_TRUE(series->SharesXColumn());
  EXPECT_TRUE(b->SharesXColumn());
  EXPECT_TRUE(c->SharesXColumn());
  EXPECT_FLOAT_EQ(b->GetX(999), 99.9f);
  EXPECT_FLOAT_EQ(b->GetY(999), -999.0f);
  EXPECT_FLOAT_EQ(c->GetPoint(500).x, 50.0f);

  // Changing one series' x leaves the others' points as they were.
  b->SetX(-3.0f, 10);
  EXPECT_FLOAT_EQ(b->GetX(10), -3.0f);
  EXPECT_FLOAT_EQ(series->GetX(10), 1.0f);
  EXPECT_FLOAT_EQ(c->GetX(10), 1.0f);
  b->RemovePoint(0);
  EXPECT_FLOAT_EQ(series->GetX(1), 0.1f);
  EXPECT_EQ(series->GetPointCount(), 1000);
  EXPECT_EQ(b->GetPointCount(), 999);

  // A different x at the shared end: that series goes on alone, the others
  // keep theirs; emptying one series keeps the other's points.
  c->AddPoint(500.0f, 1.0f);
  series->AddPoint(100.0f, 2.0f);
  EXPECT_FLOAT_EQ(c->GetX(1000), 500.0f);
  EXPECT_FLOAT_EQ(series->GetX(1000), 100.0f);
  EXPECT_FLOAT_EQ(series->GetBounds().maxX, 100.0f);
  c->ClearPoints();
  EXPECT_EQ(series->GetPointCount(), 1001);
  EXPECT_EQ(c->GetPointCount(), 0);

  // Equal bits only: -0 is not +0.
  chart.clearData();
  series->AddPoint(0.0f, 1.0f);
  b->AddPoint(-0.0f, 1.0f);
  EXPECT_FALSE(series->SharesXColumn());
  EXPECT_TRUE(std::signbit(b->GetX(0)));

  // The view the drawing reads gives the same points as GetPoint.
  series->SetPoints(nullptr, nullptr, 0, true);
  for (int i = 0; i < 5; ++i) series->AddPoint(static_cast<float>(i), static_cast<float>(i * i));
  const DcPointView view = series->Points();
  ASSERT_EQ(view.size(), 5u);
  EXPECT_FLOAT_EQ(view[3].y, 9.0f);
  const DcIndexRange range = series->VisibleRange();
  EXPECT_EQ(range.begin, 0u);
  EXPECT_EQ(range.end, 5u);
}

TEST_F(DataChartTest, ScrollingAxisFollowsNewPointsAndGrowsItsFullRange) {
  MonitorSetUp();
  series->AddPoint(10, 1000);
  EXPECT_FLOAT_EQ(time->GetVisibleMin(), 0);
  series->AddPoint(21, 1000);
  EXPECT_FLOAT_EQ(time->GetVisibleMin(), 4);
  EXPECT_FLOAT_EQ(time->GetVisibleMax(), 24);
  EXPECT_FLOAT_EQ(time->GetFullMin(), 0);
  EXPECT_FLOAT_EQ(time->GetFullMax(), 24);
  // The value axis has no follow flag: a reading off its scale moves nothing.
  series->AddPoint(22, 9000);
  EXPECT_FLOAT_EQ(value->GetVisibleMax(), 6000);
  // While the user holds the scroll bar the pane clears the follow flag.
  time->SetFlags(0x60);
  series->AddPoint(60, 1000);
  EXPECT_FLOAT_EQ(time->GetVisibleMax(), 24);
  // A follow axis moving down keeps the full maximum.
  time->SetFlags(0x70);
  time->SetVisibleRange(40, 60);
  time->SetFullRange(40, 60);
  series->AddPoint(30, 1000);
  EXPECT_FLOAT_EQ(time->GetVisibleMin(), 27);
  EXPECT_FLOAT_EQ(time->GetFullMin(), 27);
  EXPECT_FLOAT_EQ(time->GetFullMax(), 60);
}

TEST_F(DataChartTest, LayoutReservesRoomForTitleAndEveryAxis) {
  MonitorSetUp();
  QvDataChartAxis* second = chart.addAxis();
  second->SetTitle("Coolant");
  second->SetVisibleRange(-40, 150);
  chart.setTitle("Engine");
  EXPECT_EQ(chart.layoutChart(), 1);
  const DcRect plot = chart.plotRect();
  EXPECT_EQ(value->GetOffset(), 0);
  EXPECT_EQ(second->GetOffset(), value->GetWidth());
  EXPECT_EQ(plot.left, 3 + value->GetWidth() + second->GetWidth());
  EXPECT_EQ(plot.bottom, 300 - 3 - time->GetWidth());
  EXPECT_GT(plot.top, 3);  // moved down by the title
  EXPECT_EQ(plot.right, 597);
  EXPECT_EQ(time->GetPixelSpan(), plot);
  // Value mapping goes through the span of the last layout.
  EXPECT_EQ(value->ValueToPixel(0), plot.bottom);
  EXPECT_EQ(value->ValueToPixel(6000), plot.top);
  EXPECT_EQ(time->ValueToPixel(0), plot.left);
  // The tick step of the value axis set its decimals (0 for whole thousands).
  EXPECT_EQ(value->GetDecimals(), 0);
  // Time labels come from the formatter.
  EXPECT_EQ(time->LabelText(75.0f), "1:15");
  // A resize lays out again.
  chart.resize(800, 300);
  EXPECT_EQ(chart.plotRect().right, 797);
  // So does a new range: the ticks and decimals follow it before the next paint.
  value->SetVisibleRange(0, 1);
  (void)chart.renderFrame();
  EXPECT_NEAR(value->GetTicks().step, 0.1, 1e-9);
  EXPECT_EQ(value->GetDecimals(), 1);
}

TEST_F(DataChartTest, AxesOnEverySideStackOutwardsInOrder) {
  chart.resize(640, 420);
  chart.setTitle("Four sides");
  const std::int32_t sides[] = {DcAxisLeft, DcAxisLeft, DcAxisRight, DcAxisTop, DcAxisBottom, DcAxisBottom};
  const char* titles[] = {"Volts", "kPa", "Deg", "Top", "Time", "Distance"};
  for (int i = 0; i < 6; ++i) {
    QvDataChartAxis* axis = chart.addAxis();
    axis->SetPosition(sides[i]);
    axis->SetTitle(titles[i]);
    axis->SetVisibleRange(0, i == 1 ? 105.0f : 12.5f);
  }
  const DcRect plot = chart.plotRect();
  EXPECT_EQ(chart.getAxis(1)->GetOffset(), chart.getAxis(0)->GetWidth());
  EXPECT_EQ(chart.getAxis(5)->GetOffset(), chart.getAxis(4)->GetWidth());
  EXPECT_EQ(plot.left, 3 + chart.getAxis(0)->GetWidth() + chart.getAxis(1)->GetWidth());
  EXPECT_EQ(plot.right, 637 - chart.getAxis(2)->GetWidth());
  EXPECT_EQ(plot.bottom, 417 - chart.getAxis(4)->GetWidth() - chart.getAxis(5)->GetWidth());
  // Horizontal axes need the same room whatever their range.
  EXPECT_EQ(chart.getAxis(4)->GetWidth(), chart.getAxis(5)->GetWidth());
  // Every axis line is drawn in its line colour (black) at its place.
  const QImage frame = chart.renderFrame();
  const int midY = (plot.top + plot.bottom) / 2;
  EXPECT_EQ(frame.pixel(plot.left - 2, midY) & 0xFFFFFF, 0u);
  EXPECT_EQ(frame.pixel(plot.left - chart.getAxis(1)->GetOffset() - 2, midY) & 0xFFFFFF, 0u);
  EXPECT_EQ(frame.pixel(plot.right + 1, midY) & 0xFFFFFF, 0u);
  EXPECT_TRUE(chart.grab().save(QStringLiteral(VARNAK_BINARY_DIR "/datachart_axes.png")));
}

// Counts pixels of a colour inside the plot.
int CountColour(const QImage& image, const DcRect& plot, QRgb colour) {
  int count = 0;
  for (int y = plot.top + 1; y < plot.bottom - 1; ++y)
    for (int x = plot.left + 1; x < plot.right - 1; ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++count;
  return count;
}

TEST_F(DataChartTest, SeriesNeedTwoPointsAndBothAxesToDraw) {
  MonitorSetUp();
  series->AddPoint(5, 3000);
  const QRgb red = qRgb(255, 0, 0);
  QImage frame = chart.renderFrame();
  const DcRect plot = chart.plotRect();
  EXPECT_EQ(CountColour(frame, plot, red), 0);
  series->AddPoint(15, 3000);
  frame = chart.renderFrame();
  EXPECT_GT(CountColour(frame, plot, red), 50);
  // Unbinding an axis stops the drawing.
  series->SetYAxis(nullptr);
  EXPECT_EQ(CountColour(chart.renderFrame(), plot, red), 0);
}

TEST_F(DataChartTest, CursorLineInvertsThePlotAtItsValue) {
  MonitorSetUp();
  time->SetCursorValue(10);
  const QImage frame = chart.renderFrame();
  const DcRect plot = chart.plotRect();
  const int x = time->ValueToPixel(10);
  const int midY = (plot.top + plot.bottom) / 2;
  // The fill (240,240,240) inverts to (15,15,15).
  EXPECT_EQ(frame.pixel(x, midY) & 0xFFFFFF, qRgb(15, 15, 15) & 0xFFFFFF);
  EXPECT_EQ(frame.pixel(x + 3, midY) & 0xFFFFFF, qRgb(240, 240, 240) & 0xFFFFFF);
  // Outside the visible range nothing is drawn; without the flag neither.
  time->SetCursorValue(30);
  EXPECT_EQ(CountColour(chart.renderFrame(), plot, qRgb(15, 15, 15)), 0);
  time->SetFlags(0x30);
  time->SetCursorValue(10);
  EXPECT_EQ(CountColour(chart.renderFrame(), plot, qRgb(15, 15, 15)), 0);
  // The plot fill is chart colour 2; other indexes are refused.
  EXPECT_EQ(chart.color(2), 0xF0F0F0u);
  EXPECT_EQ(chart.setColor(2, 0x00FFFF), 1);  // yellow
  EXPECT_EQ(chart.setColor(4, 0), 0);
  EXPECT_EQ(chart.color(4), 0xFFFFFFFFu);
  const QImage yellow = chart.renderFrame();
  EXPECT_EQ(yellow.pixel(plot.left + 5, plot.top + 5) & 0xFFFFFF, qRgb(255, 255, 0) & 0xFFFFFF);
}

TEST_F(DataChartTest, FormatterCannotOverrunItsBuffer) {
  QvDataChartAxis* axis = chart.addAxis();
  axis->SetFlags(0x20);
  axis->SetLabelFormatter([](QvDataChart*, QvDataChartAxis*, float, char* buffer, int* size) {
    std::memset(buffer, 'x', static_cast<std::size_t>(*size));  // no terminator
  });
  EXPECT_EQ(axis->LabelText(1.0f), std::string(29, 'x'));
  // Without the flag the formatter is not asked.
  axis->SetFlags(0);
  axis->SetDecimals(1);
  EXPECT_EQ(axis->LabelText(2.25f), "2.2");
  char small[4];
  int size = sizeof small;
  QvDataChartTimeLabel(&chart, axis, 754.0f, small, &size);
  EXPECT_STREQ(small, "12:");
  EXPECT_EQ(size, 3);
}

TEST_F(DataChartTest, RightClickNotifiesTheParentWithCodeOne) {
  chart.setControlId(9003);
  QSignalSpy spy(&chart, &QvDataChart::commandNotify);
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 30), QPoint(420, 330));
  QApplication::sendEvent(&chart, &event);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy[0][0].toInt(), 9003);
  EXPECT_EQ(spy[0][1].toInt(), 1);
  EXPECT_EQ(spy[0][2].toPoint(), QPoint(420, 330));
}

TEST_F(DataChartTest, TinyAndEmptyChartsPaintWithoutFailing) {
  MonitorSetUp();
  series->AddPoint(1, 1);
  series->AddPoint(2, 2);
  for (QSize size : {QSize(0, 0), QSize(5, 5), QSize(40, 20)}) {
    chart.resize(size);
    chart.layoutChart();
    (void)chart.renderFrame();
    (void)chart.grab();
  }
}

// An rpm and a coolant trace over a minute, rendered for people to look at.
TEST_F(DataChartTest, RendersAMinuteOfEngineData) {
  chart.resize(800, 360);
  chart.setTitle("Warm-up idle");
  MonitorSetUp();
  QvDataChartAxis* coolant = chart.addAxis();
  coolant->SetTitle("Deg C");
  coolant->SetPosition(DcAxisRight);
  coolant->SetVisibleRange(-40, 150);
  coolant->SetFullRange(-40, 150);
  coolant->SetTextColor(0x960000);
  coolant->SetLineColor(0x960000);
  QvDataChartSeries* temp = chart.addSeries();
  temp->SetXAxis(time);
  temp->SetYAxis(coolant);
  temp->SetColor(0x960000);
  temp->SetLineWidth(2);
  for (int i = 0; i <= 600; ++i) {
    const float t = i * 0.1f;
    const float rpm = 900.0f + 250.0f * std::sin(t * 0.7f) + (t > 44 && t < 50 ? 2400.0f : 0.0f);
    series->AddPoint(t, rpm);
    temp->AddPoint(t, 20.0f + 60.0f * (1.0f - std::exp(-t / 25.0f)));
    time->SetCursorValue(t);
  }
  EXPECT_FLOAT_EQ(time->GetFullMin(), 0.0f);
  EXPECT_GT(time->GetVisibleMax(), 60.0f);
  EXPECT_LT(time->GetVisibleMin(), 60.0f - 15.0f);
  const QImage frame = chart.renderFrame();
  const DcRect plot = chart.plotRect();
  EXPECT_GT(CountColour(frame, plot, qRgb(255, 0, 0)), 200);
  EXPECT_GT(CountColour(frame, plot, qRgb(0, 0, 150)), 200);
  EXPECT_TRUE(chart.grab().save(QStringLiteral(VARNAK_BINARY_DIR "/datachart_render.png")));
}

}  // namespace
