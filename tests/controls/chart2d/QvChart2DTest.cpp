#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <cmath>
#include <cstring>

#include "controls/chart2d/QvChart2D.h"
#include "tests/support/QtTestApp.h"

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtTestApp);

struct Notice {
  int code;
  QvChart2DSeries* series;
  int point;
};

class Chart2DTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.resize(500, 400);
    chart.setControlId(1013);
    QObject::connect(&chart, &QvChart2D::notify,
                     [this](QvChart2D* from, int id, int code, QvChart2DSeries* series, int point) {
                       EXPECT_EQ(from, &chart);
                       EXPECT_EQ(id, 1013);
                       notices.push_back({code, series, point});
                     });
  }

  int Count(int code) const {
    return static_cast<int>(
        std::count_if(notices.begin(), notices.end(), [code](const Notice& n) { return n.code == code; }));
  }

  void Mouse(QEvent::Type type, C2Pixel at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF pos(at.x, at.y);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, chart.mapToGlobal(pos), Qt::LeftButton, buttons, modifiers);
    QApplication::sendEvent(&chart, &event);
  }
  void Press(C2Pixel at, Qt::KeyboardModifiers m = Qt::NoModifier) { Mouse(QEvent::MouseButtonPress, at, m); }
  void Move(C2Pixel at) { Mouse(QEvent::MouseMove, at); }
  void Release(C2Pixel at) { Mouse(QEvent::MouseButtonRelease, at); }

  // A series with points at (-100, -100), (0, 0), (100, 100) on the default ranges.
  QvChart2DSeries* Diagonal() {
    QvChart2DSeries* s = chart.insertSeries(99, true);
    for (float v : {-100.0f, 0.0f, 100.0f}) s->AddPoint({v, v, 0, 0});
    return s;
  }

  QvChart2D chart;
  std::vector<Notice> notices;
};

TEST_F(Chart2DTest, StartsWithItsDefaults) {
  EXPECT_STREQ(QvChart2D::kClassName, "2DCHART");
  EXPECT_EQ(chart.title(), "2D Chart");
  EXPECT_EQ(chart.xAxisTitle(), "X Axis");
  EXPECT_EQ(chart.yAxisTitle(), "Y Axis");
  EXPECT_EQ(chart.subtitle(), "Qv2DChart v2");
  EXPECT_EQ(chart.style(), 0x7u);
  float lo = 0, hi = 0;
  chart.getXRange(&lo, &hi);
  EXPECT_EQ(lo, -255.0f);
  EXPECT_EQ(hi, 255.0f);
  chart.getYRange(&lo, nullptr);
  EXPECT_EQ(lo, -255.0f);
  chart.getAuxRange2(nullptr, &hi);
  EXPECT_EQ(hi, 255.0f);
  EXPECT_EQ(chart.color(1), 0xDCDCDCu);
  EXPECT_EQ(chart.color(7), 0xFF0000u);
  EXPECT_EQ(chart.color(6), 0xFFFFFFFFu);
  EXPECT_EQ(chart.setColor(10, 0x123456), 0);
  // 4 and 5 share one slot.
  EXPECT_EQ(chart.setColor(5, 0x00FF00), 1);
  EXPECT_EQ(chart.color(4), 0x00FF00u);
  // Texts are cut to their fields.
  chart.setTitle(std::string(150, 't'));
  EXPECT_EQ(chart.title().size(), 99u);
  chart.setXAxisTitle(std::string(60, 'x'));
  EXPECT_EQ(chart.xAxisTitle().size(), 39u);
  chart.setSubtitle(std::string(80, 's'));
  EXPECT_EQ(chart.subtitle().size(), 59u);
}

TEST_F(Chart2DTest, SeriesListAndSeriesOperations) {
  QvChart2DSeries* a = chart.insertSeries(0, true);
  QvChart2DSeries* b = chart.insertSeries(0, true);   // before a
  QvChart2DSeries* c = chart.insertSeries(-1, true);  // appended
  EXPECT_EQ(chart.getSeries(0), b);
  EXPECT_EQ(chart.getSeries(1), a);
  EXPECT_EQ(chart.getSeries(2), c);
  EXPECT_EQ(chart.getSeries(3), nullptr);
  EXPECT_EQ(chart.removeSeries(b, true), 1);
  EXPECT_EQ(chart.removeSeries(b, true), 0);
  EXPECT_EQ(chart.getSeriesCount(), 2);

  EXPECT_EQ(a->GetStyle(), 0x4Bu);
  EXPECT_EQ(a->GetColor(12), 0x0000FFu);
  EXPECT_EQ(a->GetColor(14), 0xFFFFFFFFu);
  EXPECT_EQ(a->SetColor(14, 1), 0);
  EXPECT_EQ(a->SetColor(15, 0x00FF00), 1);
  EXPECT_EQ(a->TestStyle(0x10 | 0x8), 1);
  a->ClearStyle(0x8, false);
  EXPECT_EQ(a->TestStyle(0x8), 0);
  a->SetStyle(0, false);
  EXPECT_EQ(a->GetStyle(), 0u);

  a->SetName(std::string(100, 'n'));
  char small[8];
  EXPECT_EQ(a->GetName(small, sizeof small), 63);
  EXPECT_STREQ(small, "nnnnnnn");

  EXPECT_EQ(a->AddPoint({1, 1, 0, 7}), 1);
  EXPECT_EQ(a->AddPoint({3, 3, QvChart2DPoint::kSelected, 0}), 2);
  EXPECT_EQ(a->SelectedCount(), 1);
  EXPECT_EQ(a->InsertPoint({2, 2, 0, 0}, 1), 1);
  EXPECT_EQ(a->InsertPoint({9, 9, 0, 0}, 3), 0);  // not before an existing point
  QvChart2DPoint p;
  ASSERT_EQ(a->GetPoint(0, &p), 1);
  EXPECT_EQ(p.data, 7u);
  EXPECT_EQ(a->GetPoint(3, &p), 0);
  // Writing flags keeps the selected count true to the points.
  EXPECT_EQ(a->SetPoint(2, {3, 3, 0, 0}, true), 1);
  EXPECT_EQ(a->SelectedCount(), 0);
  a->SelectPoint(0, true, false);
  a->SelectPoint(0, true, false);
  EXPECT_EQ(a->SelectedCount(), 1);
  EXPECT_EQ(a->RemovePoint(0), 1);
  EXPECT_EQ(a->SelectedCount(), 0);
  EXPECT_EQ(a->RemovePoint(5), 0);
  a->SetPointSize(9);
  a->SetVisible(false);
  a->Reset();
  EXPECT_EQ(a->PointCount(), 0);
  EXPECT_EQ(a->GetPointSize(), 5);
  EXPECT_TRUE(a->GetVisible());
  EXPECT_EQ(a->GetStyle(), 0x4Bu);
  EXPECT_EQ(a->GetColor(15), 0u);
}

TEST_F(Chart2DTest, RangesFollowTheDataAndTellTheParent) {
  chart.setStyle(0x30, false);
  QvChart2DSeries* s = chart.insertSeries(0, false);
  s->AddPoint({1, 10, 0, 0});
  EXPECT_TRUE(notices.empty());  // one point: nothing varies yet
  s->AddPoint({2, 40, 0, 0});
  s->AddPoint({4, 20, 0, 0});
  float lo = 0, hi = 0;
  chart.getXRange(&lo, &hi);
  EXPECT_FLOAT_EQ(lo, 1);
  EXPECT_FLOAT_EQ(hi, 4);
  chart.getYRange(&lo, &hi);
  EXPECT_FLOAT_EQ(lo, 10);
  EXPECT_FLOAT_EQ(hi, 40);
  EXPECT_GE(Count(1127), 1);
  EXPECT_GE(Count(1128), 1);
  // A range message is ignored while that range follows the data.
  chart.setXRange(-5.0f, 5.0f);
  chart.getXRange(&lo, &hi);
  EXPECT_FLOAT_EQ(lo, 1);
  // Without the style the range is the caller's.
  chart.clearStyle(0x10, false);
  chart.setXRange(std::nullopt, 50.0f);
  chart.getXRange(&lo, &hi);
  EXPECT_FLOAT_EQ(lo, 1);
  EXPECT_FLOAT_EQ(hi, 50);
}

TEST_F(Chart2DTest, PressPicksAPointWithinItsHitBox) {
  QvChart2DSeries* s = Diagonal();
  const C2Pixel mid = chart.valueToPixel(0, 0);
  Press({mid.x + 5, mid.y - 5});
  Release({mid.x + 5, mid.y - 5});
  ASSERT_EQ(Count(281), 1);
  EXPECT_EQ(notices[0].series, s);
  EXPECT_EQ(notices[0].point, 1);
  EXPECT_EQ(s->SelectedCount(), 1);
  EXPECT_EQ(Count(1126), 0);  // no movement, no drag to report
  // Six pixels away misses, and a plain press elsewhere clears the selection.
  Press({mid.x + 6, mid.y});
  Release({mid.x + 6, mid.y});
  EXPECT_EQ(Count(281), 1);
  EXPECT_EQ(s->SelectedCount(), 0);
  EXPECT_EQ(chart.state() & 0x7F, 0u);
  // Hidden series and series without pick bits are not hit.
  s->SetVisible(false);
  Press(mid);
  Release(mid);
  s->SetVisible(true);
  s->ClearStyle(0xC, false);
  Press(mid);
  Release(mid);
  EXPECT_EQ(Count(281), 1);
}

TEST_F(Chart2DTest, DraggingMovesSelectedPointsAndReportsOnceAtTheEnd) {
  QvChart2DSeries* s = Diagonal();
  const C2Rect data = chart.dataRect();
  const C2Pixel start = chart.valueToPixel(0, 0);
  Press(start);
  EXPECT_TRUE(chart.state() & QvChart2D::kStateDragging);
  Move({start.x + 10, start.y - 10});
  EXPECT_TRUE(chart.state() & QvChart2D::kStateCursorHidden);
  EXPECT_EQ(chart.cursor().shape(), Qt::BlankCursor);
  Move({start.x + 20, start.y - 20});
  Release({start.x + 20, start.y - 20});
  EXPECT_EQ(Count(1126), 1);
  EXPECT_EQ(notices.back().series, s);
  EXPECT_EQ(notices.back().point, 1);
  EXPECT_NE(chart.cursor().shape(), Qt::BlankCursor);
  QvChart2DPoint p;
  s->GetPoint(1, &p);
  EXPECT_NEAR(p.x, 20.0 * 510.0 / (data.Width() - 1), 1e-3);
  EXPECT_NEAR(p.y, 20.0 * 510.0 / (data.Height() - 1), 1e-3);
  s->GetPoint(0, &p);
  EXPECT_FLOAT_EQ(p.x, -100);  // unselected points stay

  // Along x only.
  s->ClearStyle(0x2, false);
  const C2Pixel end = chart.valueToPixel(100, 100);
  Press(end);
  Move({end.x - 10, end.y + 30});
  Release({end.x - 10, end.y + 30});
  s->GetPoint(2, &p);
  EXPECT_LT(p.x, 100);
  EXPECT_FLOAT_EQ(p.y, 100);
  EXPECT_EQ(Count(1126), 2);
}

TEST_F(Chart2DTest, ArrowKeysNudgeTheSelectionAndReportIt) {
  QvChart2DSeries* s = Diagonal();
  s->ClearStyle(0x1, false);  // y only
  const C2Pixel mid = chart.valueToPixel(0, 0);
  Press(mid);
  Release(mid);
  const auto key = [this](int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, k, m);
    QApplication::sendEvent(&chart, &event);
  };
  key(Qt::Key_Up, Qt::ShiftModifier);
  QvChart2DPoint p;
  s->GetPoint(1, &p);
  EXPECT_NEAR(p.y, 10.0 * 510.0 / (chart.dataRect().Height() - 1), 1e-3);
  EXPECT_EQ(Count(1126), 1);
  key(Qt::Key_Right);  // this series does not move along x
  s->GetPoint(1, &p);
  EXPECT_FLOAT_EQ(p.x, 0);
  EXPECT_EQ(Count(1126), 1);
  key(Qt::Key_Escape);
  EXPECT_EQ(s->SelectedCount(), 0);
  key(Qt::Key_Down);
  EXPECT_EQ(Count(1126), 1);
}

TEST_F(Chart2DTest, ControlClicksGatherSeveralPointsThatDragTogether) {
  QvChart2DSeries* s = Diagonal();
  s->ClearStyle(0x4, false);  // several at a time only
  const C2Pixel a = chart.valueToPixel(-100, -100);
  const C2Pixel b = chart.valueToPixel(0, 0);
  Press(a);
  Release(a);
  Press(b, Qt::ControlModifier);
  Release(b);
  EXPECT_EQ(s->SelectedCount(), 2);
  // Pressing one of them without control keeps the group and drags both.
  Press(b);
  Move({b.x, b.y - 15});
  Release({b.x, b.y - 15});
  EXPECT_EQ(s->SelectedCount(), 2);
  QvChart2DPoint p0, p1;
  s->GetPoint(0, &p0);
  s->GetPoint(1, &p1);
  EXPECT_GT(p0.y, -100);
  EXPECT_FLOAT_EQ(p0.y - (-100), p1.y - 0);
  // A plain press on an unselected point starts over.
  const C2Pixel c = chart.valueToPixel(100, 100);
  Press(c);
  Release(c);
  EXPECT_EQ(s->SelectedCount(), 1);
}

TEST_F(Chart2DTest, RubberBandSelectsThePointsItCovers) {
  QvChart2DSeries* s = Diagonal();
  const C2Pixel low = chart.valueToPixel(-100, -100);
  const C2Pixel mid = chart.valueToPixel(0, 0);
  Press({low.x - 10, low.y + 10});
  EXPECT_TRUE(chart.state() & QvChart2D::kStateRubberBand);
  Move({mid.x + 10, mid.y - 10});
  EXPECT_EQ(s->SelectedCount(), 2);
  Release({mid.x + 10, mid.y - 10});
  EXPECT_FALSE(chart.state() & QvChart2D::kStateRubberBand);
  EXPECT_EQ(s->SelectedCount(), 2);
  EXPECT_EQ(Count(281), 0);
  // No series that picks several: no band.
  s->ClearStyle(0x8, false);
  Press({low.x - 10, low.y + 10});
  EXPECT_FALSE(chart.state() & QvChart2D::kStateRubberBand);
  Release({low.x - 10, low.y + 10});
}

TEST_F(Chart2DTest, AutomaticLabelsFollowSizeRangeAndCallback) {
  chart.setXRange(0.0f, 100.0f);
  const int width = chart.dataRect().Width();
  ASSERT_EQ(chart.xLabelCount(), width / 50 + 1);
  EXPECT_FLOAT_EQ(chart.xLabels().front().value, 0);
  EXPECT_FLOAT_EQ(chart.xLabels().back().value, 100);
  EXPECT_EQ(chart.xLabels().back().text, "100.00");
  chart.setLabelCallback([](QvChart2D*, float x, float y, int axis, char* buffer, int size) {
    if (axis == 2) return false;  // y labels keep the default text
    std::snprintf(buffer, static_cast<std::size_t>(size), "%d rpm", static_cast<int>(x + y));
    return true;
  });
  EXPECT_EQ(chart.xLabels().back().text, "100 rpm");
  EXPECT_EQ(chart.yLabels().back().text, "255.00");
  // A callback that fills its buffer without a terminator cannot overrun it.
  chart.setLabelCallback([](QvChart2D*, float, float, int, char* buffer, int size) {
    std::memset(buffer, 'z', static_cast<std::size_t>(size));
    return true;
  });
  EXPECT_EQ(chart.xLabels().front().text, std::string(39, 'z'));
  // A resize rebuilds them; a narrow plot gets a single label without failing.
  chart.setLabelCallback(nullptr);
  chart.resize(120, 300);
  EXPECT_EQ(chart.xLabelCount(), chart.dataRect().Width() / 50 + 1);
  chart.resize(20, 20);
  EXPECT_GE(chart.xLabelCount(), 1);
  (void)chart.renderFrame();
  // Removing the style empties the list; manual labels can then be set.
  chart.clearStyle(0x2, true);
  EXPECT_EQ(chart.xLabelCount(), 0);
  chart.resizeXLabels(2);
  chart.setXLabel(1, 5.0f, "five");
  chart.setXLabel(2, 6.0f, "six");  // outside the list: nothing
  ASSERT_EQ(chart.xLabelCount(), 2);
  EXPECT_EQ(chart.xLabels()[1].text, "five");
  chart.setRedraw(false);
  EXPECT_TRUE(chart.state() & QvChart2D::kStateRedrawOff);
  chart.setRedraw(true);
  EXPECT_FALSE(chart.state() & QvChart2D::kStateRedrawOff);
}

// A coolant sensor table (volts to degrees) as the lookup-table page shows it.
TEST_F(Chart2DTest, RendersALookupTableCurve) {
  chart.resize(560, 400);
  chart.setTitle("Coolant Sensor");
  chart.setXAxisTitle("Volts");
  chart.setYAxisTitle("Deg C");
  chart.setStyle(0x30, false);
  QvChart2DSeries* s = chart.insertSeries(0, false);
  s->SetStyle(0, false);
  s->SetStyle(QvChart2DSeries::kDragY | QvChart2DSeries::kPickSingle | QvChart2DSeries::kPickMultiple, false);
  for (int i = 0; i <= 16; ++i) {
    const float volts = i * 5.0f / 16.0f;
    s->AddPoint({volts, 150.0f - 190.0f / (1.0f + std::exp(-(volts - 2.5f) * 1.6f)), 0, 0});
  }
  s->SelectPoint(8, true, false);
  const QImage frame = chart.renderFrame();
  const C2Pixel selected = chart.valueToPixel(2.5f, s->Points()[8].y);
  EXPECT_EQ(frame.pixel(selected.x, selected.y) & 0xFFFFFF, 0u);  // filled marker
  const C2Pixel plain = chart.valueToPixel(s->Points()[4].x, s->Points()[4].y);
  EXPECT_EQ(frame.pixel(plain.x, plain.y) & 0xFFFFFF, 0xFFFFFFu);  // hollow marker
  EXPECT_TRUE(chart.grab().save(QStringLiteral(VARNAK_BINARY_DIR "/chart2d_render.png")));
}

}  // namespace
