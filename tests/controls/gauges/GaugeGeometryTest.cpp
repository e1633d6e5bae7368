#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

#include "controls/gauges/QvAnalogGaugeLayout.h"
#include "controls/gauges/QvGaugeGeometry.h"

namespace {

// Angle from straight down, measured clockwise on screen, of a point relative to the centre.
double FromStraightDown(QPoint p, int c) {
  double deg = std::atan2(p.y() - c, p.x() - c) * 180.0 / M_PI - 90.0;
  while (deg < 0) deg += 360.0;
  return deg;
}

double DefaultAngle(float v) {
  return QvGaugeAngle(v, 40.0f, 300.0f, 0.0f, 150.0f);
}

TEST(GaugeAngles, DefaultSweepRunsClockwiseOverTheTop) {
  // The minimum lies 40 degrees clockwise from straight down (lower left).
  const QPoint minTip = QvGaugePoint(90, 80, DefaultAngle(0));
  EXPECT_LT(minTip.x(), 90);
  EXPECT_GT(minTip.y(), 90);
  EXPECT_NEAR(FromStraightDown(minTip, 90), 40.0, 1.0);
  // The maximum lies 60 degrees from straight down on the other side (lower right).
  const QPoint maxTip = QvGaugePoint(90, 80, DefaultAngle(150));
  EXPECT_GT(maxTip.x(), 90);
  EXPECT_GT(maxTip.y(), 90);
  EXPECT_NEAR(FromStraightDown(maxTip, 90), 300.0, 1.0);
  // Straight up at 150 * 140 / 260, not at the middle of the range.
  EXPECT_NEAR(DefaultAngle(150.0f * 140.0f / 260.0f), -90.0, 1e-4);
  const QPoint up = QvGaugePoint(90, 75, DefaultAngle(150.0f * 140.0f / 260.0f));
  EXPECT_EQ(up, QPoint(90, 15));
  EXPECT_NE(DefaultAngle(75), -90.0);
}

TEST(GaugeAngles, PointsTruncateAndRadialLinesRound) {
  // cos(45) * 10 = 7.07: truncated to 7 in points, rounded to 7 in lines;
  // at radius 10.9, 7.7 truncates to 7 but rounds to 8.
  EXPECT_EQ(QvGaugePoint(0, 10.9, 45.0), QPoint(7, 7));
  EXPECT_EQ(QvRadialLine(0, 10.9, 0, 45.0).from, QPoint(8, 8));
  EXPECT_EQ(QvRadialLine(90, 87, 79, -90.0).from, QPoint(90, 3));
  EXPECT_EQ(QvRadialLine(90, 87, 79, -90.0).to, QPoint(90, 11));
}

TEST(GaugeAngles, DegenerateRangesAndAnglesStayFinite) {
  EXPECT_EQ(QvGaugeFraction(5, 10, 10), 0.0);
  EXPECT_EQ(QvGaugeFraction(5, NAN, 10), 0.0);
  EXPECT_EQ(QvGaugeFraction(5, -INFINITY, INFINITY), 0.0);
  EXPECT_DOUBLE_EQ(QvGaugeAngle(7, 40, 300, 3, 3), 40.0 - 270.0);
  EXPECT_EQ(QvGaugePoint(90, 80, NAN), QPoint(0, 0));
  EXPECT_EQ(QvTruncToInt(1e20), INT_MAX);
  EXPECT_EQ(QvTruncToInt(-1e20), INT_MIN);
  EXPECT_EQ(QvTruncToInt(-2.7), -2);
  EXPECT_EQ(QvRoundToInt(-2.7), -3);
}

TEST(GaugeTicks, MajorAndMinorValues) {
  const auto major = QvMajorTickValues(0, 150, 11);
  ASSERT_EQ(major.size(), 11u);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(QvGaugeNumberText(major[i], 2), std::to_string(15 * i));
  const auto unit = QvMajorTickValues(0, 1, 11);
  EXPECT_EQ(QvGaugeNumberText(unit[0], 2), "0");
  EXPECT_EQ(QvGaugeNumberText(unit[1], 2), "0.10");
  EXPECT_EQ(QvGaugeNumberText(unit[7], 2), "0.70");
  EXPECT_EQ(QvGaugeNumberText(unit[10], 2), "1");
  EXPECT_EQ(QvMajorTickValues(3, 9, 1), std::vector<float>{3});
  EXPECT_TRUE(QvMajorTickValues(3, 9, 0).empty());
  EXPECT_EQ(QvMinorTickValues(0, 15, 5), (std::vector<float>{3, 6, 9, 12}));
  EXPECT_TRUE(QvMinorTickValues(0, 15, 1).empty());
}

TEST(GaugeText, NumberTextsNeverOverflow) {
  EXPECT_EQ(QvGaugeNumberText(-12.5f, 1), "-12.5");
  EXPECT_EQ(QvGaugeNumberText(-40.0f, 3), "-40");
  // Whole values beyond the int range keep their digits instead of wrapping.
  EXPECT_EQ(QvGaugeNumberText(1e10f, 2), "10000000000");
  EXPECT_EQ(QvGaugeNumberText(FLT_MAX, 2).size(), 39u);
  EXPECT_LT(QvGaugeNumberText(0.5f, 1000000).size(), 100u);
}

TEST(GaugeText, ReadoutValueTextAndFontHeights) {
  EXPECT_EQ(QvReadoutValueText(12.345f, true, 2), "12.35");
  EXPECT_EQ(QvReadoutValueText(7.9f, false, 3), "007");
  EXPECT_EQ(QvReadoutValueText(-7.9f, false, 0), "-7");
  EXPECT_EQ(QvReadoutValueText(1e30f, false, 1), std::to_string(INT_MAX));
  EXPECT_EQ(QvReadoutValueText(1e30f, true, 2).size(), kQvReadoutTextMax);
  EXPECT_EQ(QvReadoutValueText(1.0f, true, 100000).size(), kQvReadoutTextMax);
  EXPECT_EQ(QvReadoutFontHeight(0), 50);
  EXPECT_EQ(QvReadoutFontHeight(4), 44);
  EXPECT_EQ(QvReadoutFontHeight(5), 40);
  EXPECT_EQ(QvReadoutFontHeight(10), 24);
  EXPECT_EQ(QvReadoutFontHeight(12), 24);
}

TEST(GaugeLabels, AlignmentKeepsLabelsInsideTheDial) {
  using H = QvHAlign;
  using V = QvVAlign;
  EXPECT_EQ(QvTickLabelAlign(DefaultAngle(0)), (QvTextAlign{H::Left, V::Baseline}));     // lower left
  EXPECT_EQ(QvTickLabelAlign(DefaultAngle(150)), (QvTextAlign{H::Right, V::Baseline}));  // lower right
  EXPECT_EQ(QvTickLabelAlign(-90.0), (QvTextAlign{H::Centre, V::Top}));                  // top
  EXPECT_EQ(QvTickLabelAlign(-45.0), (QvTextAlign{H::Right, V::Top}));                   // upper right
  EXPECT_EQ(QvTickLabelAlign(-135.0), (QvTextAlign{H::Left, V::Top}));                   // upper left
  EXPECT_EQ(QvTickLabelAlign(90.0), (QvTextAlign{H::Centre, V::Baseline}));              // bottom
  EXPECT_EQ(QvTickLabelAlign(0.0), (QvTextAlign{H::Right, V::Top}));  // s = 0: first row wins

  const QSize text(20, 10);
  EXPECT_EQ(QvAlignedTextRect({50, 50}, text, 8, {H::Right, V::Top}), QRect(30, 50, 20, 10));
  EXPECT_EQ(QvAlignedTextRect({50, 50}, text, 8, {H::Centre, V::Bottom}), QRect(40, 40, 20, 10));
  EXPECT_EQ(QvAlignedTextRect({50, 50}, text, 8, {H::Left, V::Baseline}), QRect(50, 42, 20, 10));
}

TEST(GaugeArcs, CounterClockwiseSpans) {
  // The default scale arc runs from the maximum (lower right) back over the top.
  const QvArcSpan scale = QvCounterClockwiseArc(DefaultAngle(150), DefaultAngle(0));
  EXPECT_DOUBLE_EQ(scale.startDeg, 330.0);
  EXPECT_DOUBLE_EQ(scale.spanDeg, 260.0);
  const QvArcSpan zone = QvCounterClockwiseArc(DefaultAngle(150), DefaultAngle(120));
  EXPECT_NEAR(zone.spanDeg, 52.0, 1e-9);
  EXPECT_EQ(QvCounterClockwiseArc(10, 10).spanDeg, 0.0);
  EXPECT_EQ(QvCounterClockwiseArc(370, 10).spanDeg, 360.0);
  EXPECT_EQ(QvCounterClockwiseArc(NAN, 10).spanDeg, 0.0);
}

TEST(GaugeScaling, LogicalSquareNeverShrinks) {
  auto s = QvLogicalScale({360, 180}, 180, 180, false);
  EXPECT_DOUBLE_EQ(s.x, 2.0);
  EXPECT_DOUBLE_EQ(s.y, 1.0);
  s = QvLogicalScale({360, 270}, 180, 180, true);
  EXPECT_DOUBLE_EQ(s.x, 1.5);
  EXPECT_DOUBLE_EQ(s.y, 1.5);
  s = QvLogicalScale({50, 40}, 100, 100, false);
  EXPECT_DOUBLE_EQ(s.x, 1.0);
  EXPECT_DOUBLE_EQ(s.y, 1.0);
}

TEST(ProgressGeometry, BarLength) {
  EXPECT_EQ(QvProgressBarLength(200, 512, 0, 1024), 100);
  EXPECT_EQ(QvProgressBarLength(200, 0, 0, 1024), 0);
  EXPECT_EQ(QvProgressBarLength(200, 5, 5, 5), 0);          // zero-width range
  EXPECT_EQ(QvProgressBarLength(200, 2000, 0, 1024), 200);  // clamped inside the control
  EXPECT_EQ(QvProgressBarLength(200, -50, 0, 1024), 0);
  EXPECT_EQ(QvProgressBarLength(200, INT_MAX, INT_MIN, INT_MAX), 200);
}

TEST(AnalogLayout, DefaultGauge) {
  QvAnalogGaugeState state;
  state.title = "Coolant";
  state.units = "deg C";
  auto layout = QvLayoutAnalogGauge(state);
  EXPECT_EQ(layout.dial, QRect(2, 2, 176, 176));
  EXPECT_EQ(layout.titleAnchor, QPoint(90, 72));
  EXPECT_EQ(layout.valueAnchor, QPoint(90, 135));
  EXPECT_EQ(layout.unitsAnchor, QPoint(90, 144));
  EXPECT_EQ(layout.minAnchor, QPoint(67, 120));
  EXPECT_EQ(layout.maxAnchor, QPoint(112, 120));
  EXPECT_EQ(layout.majorTicks.size(), 11u);
  EXPECT_EQ(layout.labels.size(), 11u);
  EXPECT_EQ(layout.minorTicks.size(), 40u);
  EXPECT_EQ(layout.labels[10].text, "150");
  EXPECT_EQ(layout.labels[0].anchor, QvGaugePoint(90, 76, DefaultAngle(0)));
  EXPECT_EQ(layout.valueText, "0");
  // Nothing seen yet: the texts still come out, without overflowing.
  EXPECT_EQ(layout.minText.rfind("Min: ", 0), 0u);
  EXPECT_EQ(layout.maxText.rfind("Max: -", 0), 0u);
  EXPECT_EQ(layout.title, "Coolant");
  // Needle at 0 points to the lower left, hub and rim mark at the centre and rim.
  EXPECT_EQ(layout.needle[0], QvGaugePoint(90, 75, DefaultAngle(0)));
  EXPECT_EQ(layout.hub, QRect(88, 88, 4, 4));
  EXPECT_EQ(layout.rimMark.from, QvRadialLine(90, 88, 84, DefaultAngle(0)).from);
  EXPECT_TRUE(layout.zones.empty());

  state.zones.push_back({100, 150, 0x0000FF});
  state.title = std::string(100, 'x');
  state.style = 0x5F | kQvGaugeZones;
  state.value = 150;
  layout = QvLayoutAnalogGauge(state);
  ASSERT_EQ(layout.zones.size(), 1u);
  EXPECT_NEAR(layout.zones[0].arc.spanDeg, 260.0 / 3, 1e-4);
  EXPECT_TRUE(layout.title.empty());  // 100 characters are not drawn
  EXPECT_EQ(layout.needle[0], QvGaugePoint(90, 75, DefaultAngle(150)));

  state.style = 0;
  layout = QvLayoutAnalogGauge(state);
  EXPECT_TRUE(layout.valueText.empty());
  EXPECT_TRUE(layout.minText.empty());
  EXPECT_TRUE(layout.maxText.empty());
  EXPECT_TRUE(layout.zones.empty());
}

}  // namespace
