// Layout arithmetic of the panes: dashboard gauge rectangles, stacked monitor
// charts, the histogram grid and the monitor scroll bar numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "app/panes/PaneGeometry.h"

TEST(DashGaugeRect, PercentagesOfTheAreaWithTheMultiplicationFirst) {
  // Area (10, 40) - (410, 340): 400 x 300.
  EXPECT_EQ(DashGaugeRect(10, 40, 410, 340, 0, 0, 100, 100), (PaneRect{10, 40, 400, 300}));
  EXPECT_EQ(DashGaugeRect(10, 40, 410, 340, 50, 25, 100, 75), (PaneRect{110, 190, 200, 150}));
  // 333 x 33 / 100 = 109.89 -> 109 (multiplication first; dividing first would give 0).
  EXPECT_EQ(DashGaugeRect(0, 0, 333, 333, 33, 33, 66, 66), (PaneRect{109, 109, 110, 110}));
}

TEST(DashGaugeRect, PercentagesAreUnsignedSixteenBit) {
  // A stored -1 is 65535 %: far right and below the area, never negative.
  const PaneRect r = DashGaugeRect(0, 0, 100, 100, 0, -1, 100, -1);
  EXPECT_EQ(r.x, 65535);
  EXPECT_EQ(r.width, 0);
  // A huge area with a huge percentage does not overflow.
  const PaneRect big = DashGaugeRect(0, 0, 1000000, 1000000, 0, 0, -1, -1);
  EXPECT_EQ(big.width, 655350000);
  EXPECT_EQ(big.height, 655350000);
  // Right left of left gives a negative width, which the pane shows as nothing.
  EXPECT_LT(DashGaugeRect(0, 0, 100, 100, 0, 60, 100, 40).width, 0);
}

TEST(MonitorChartRect, ChartsShareTheHeightByIntegerDivision) {
  EXPECT_EQ(MonitorChartRect(0, 3, 640, 400), (PaneRect{0, 0, 640, 133}));
  EXPECT_EQ(MonitorChartRect(2, 3, 640, 400), (PaneRect{0, 266, 640, 133}));
  EXPECT_EQ(MonitorChartRect(0, 0, 640, 400), PaneRect{});
  EXPECT_EQ(MonitorChartRect(3, 3, 640, 400), PaneRect{});
  EXPECT_EQ(MonitorChartRect(0, 1, -5, -5), (PaneRect{0, 0, 0, 0}));
}

TEST(HistogramGridRect, KeepsTheLeftMarginOnBothSidesAndThreePixelsBelow) {
  EXPECT_EQ(HistogramGridRect(7, 40, 600, 400), (PaneRect{7, 40, 586, 357}));
  EXPECT_EQ(HistogramGridRect(7, 40, 10, 20), (PaneRect{7, 40, 0, 0}));
}

TEST(MonitorScrollFor, HiddenWhileTheWindowShowsEverything) {
  EXPECT_FALSE(MonitorScrollFor(0.0f, 20.0f, 0.0f, 20.0f).visible);
}

TEST(MonitorScrollFor, ThumbIsTheWindowAndPositionItsStart) {
  // 20 s window at 100..120 of a 0..120 run: at the end.
  MonitorScroll s = MonitorScrollFor(100.5f, 120.5f, 0.0f, 120.5f);
  EXPECT_TRUE(s.visible);
  EXPECT_EQ(s.minimum, 0);
  EXPECT_EQ(s.page, 20000);
  EXPECT_EQ(s.maximum, 100000);
  EXPECT_EQ(s.value, 100000);
  // Scrolled back to 30 s.
  s = MonitorScrollFor(30.0f, 50.0f, 0.0f, 120.0f);
  EXPECT_EQ(s.value, 30000);
  EXPECT_EQ(s.maximum, 100000);
  // Not-a-number bounds do not produce garbage.
  s = MonitorScrollFor(NAN, NAN, 0.0f, 10.0f);
  EXPECT_GE(s.maximum, s.minimum);
  EXPECT_GE(s.value, s.minimum);
}

TEST(MonitorPalette, TenColoursThenTheFirstAgain) {
  EXPECT_EQ(MonitorPaletteColor(0), 0x0000FFu);  // (255,0,0)
  EXPECT_EQ(MonitorPaletteColor(2), 0xFF0000u);  // (0,0,255)
  EXPECT_EQ(MonitorPaletteColor(9), 0x808040u);  // (64,128,128)
  EXPECT_EQ(MonitorPaletteColor(10), MonitorPaletteColor(0));
  EXPECT_EQ(MonitorPaletteColor(-1), MonitorPaletteColor(9));
}
