#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "controls/chart2d/Chart2DGeometry.h"

namespace {

TEST(Chart2DMapping, RangeEndsLandOnTheFirstAndLastPixels) {
  const C2Rect plot{10, 20, 111, 221};  // 101 x 201 pixels
  EXPECT_EQ(C2ValueToPixel(plot, 0, 100, 0, 200, 0, 0), (C2Pixel{10, 220}));
  EXPECT_EQ(C2ValueToPixel(plot, 0, 100, 0, 200, 100, 200), (C2Pixel{110, 20}));
  EXPECT_EQ(C2ValueToPixel(plot, 0, 100, 0, 200, 50.4f, 99.6f), (C2Pixel{60, 120}));
  // Inverted ranges mirror the plot.
  EXPECT_EQ(C2ValueToPixel(plot, 100, 0, 0, 200, 100, 0).x, 10);
  // Empty and non-finite ranges do not divide by zero.
  EXPECT_EQ(C2ValueToPixel(plot, 5, 5, 0, 200, 9, 0).x, 10);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(C2ValueToPixel(plot, 0, 100, 0, 200, nan, 0).x, 10);
  EXPECT_EQ(C2ValueToPixel(plot, 0, 100, 0, 200, 1.0e30f, 0).x, 10 + 1000000);
  // Pixel movements back to values: right is +x, up is +y.
  EXPECT_DOUBLE_EQ(C2PixelsToValueX(plot, 0, 100, 10), 10.0);
  EXPECT_DOUBLE_EQ(C2PixelsToValueY(plot, 0, 200, -10), 10.0);
  EXPECT_DOUBLE_EQ(C2PixelsToValueX({0, 0, 1, 1}, 0, 100, 10), 0.0);
}

TEST(Chart2DHit, HitBoxIsInclusiveAndBandsNormalise) {
  const C2Pixel point{100, 100};
  EXPECT_TRUE(C2Hit({105, 95}, point, 5));
  EXPECT_FALSE(C2Hit({106, 100}, point, 5));
  EXPECT_FALSE(C2Hit({100, 94}, point, 5));
  EXPECT_TRUE(C2Hit({100, 100}, point, 0));
  const C2Rect band = C2BandRect({50, 80}, {10, 20});
  EXPECT_EQ(band, (C2Rect{10, 20, 51, 81}));
  EXPECT_TRUE(C2InBand(band, {50, 80}));
  EXPECT_TRUE(C2InBand(band, {10, 20}));
  EXPECT_FALSE(C2InBand(band, {51, 50}));
}

TEST(Chart2DLabels, AutomaticLabelCountsAndValues) {
  std::vector<float> x = C2AutoXLabelValues(200, 50, 0, 100);
  ASSERT_EQ(x.size(), 5u);
  EXPECT_FLOAT_EQ(x[1], 25);
  EXPECT_FLOAT_EQ(x.back(), 100);
  // m = 200 / 50 + 1 = 5, so six y labels from the minimum to the maximum.
  std::vector<float> y = C2AutoYLabelValues(200, 50, -10, 10);
  ASSERT_EQ(y.size(), 6u);
  EXPECT_FLOAT_EQ(y.front(), -10);
  EXPECT_FLOAT_EQ(y[1], -6);
  EXPECT_FLOAT_EQ(y.back(), 10);
  // Narrower than one spacing: one label, at the minimum, and no division by zero.
  x = C2AutoXLabelValues(30, 50, 3, 9);
  ASSERT_EQ(x.size(), 1u);
  EXPECT_FLOAT_EQ(x[0], 3);
  EXPECT_EQ(C2AutoXLabelValues(-40, 50, 0, 1).size(), 1u);
  // A spacing of zero counts as one pixel.
  EXPECT_EQ(C2AutoXLabelValues(10, 0, 0, 1).size(), 11u);
  EXPECT_EQ(C2AutoYLabelValues(0, 50, 0, 1).size(), 2u);
  EXPECT_EQ(C2FormatLabel(2.5f), "2.50");
  EXPECT_LT(C2FormatLabel(3.0e38f).size(), 40u);
}

TEST(Chart2DBounds, BoundsSpanAllListsAndNoteWhetherTheyVary) {
  const std::vector<QvChart2DPoint> a{{1, 10, 0, 0}, {2, 40, 0, 0}};
  const std::vector<QvChart2DPoint> b{{4, 20, 0, 0}};
  const std::vector<QvChart2DPoint> none;
  C2Bounds bounds = C2DataBounds({&none, &a, &b});
  EXPECT_TRUE(bounds.any);
  EXPECT_FLOAT_EQ(bounds.minX, 1);
  EXPECT_FLOAT_EQ(bounds.maxX, 4);
  EXPECT_FLOAT_EQ(bounds.minY, 10);
  EXPECT_FLOAT_EQ(bounds.maxY, 40);
  EXPECT_TRUE(bounds.xVaries && bounds.yVaries);
  // Same x everywhere: x must not follow (it would give an empty range).
  const std::vector<QvChart2DPoint> column{{3, 1, 0, 0}, {3, 5, 0, 0}};
  bounds = C2DataBounds({&column});
  EXPECT_FALSE(bounds.xVaries);
  EXPECT_TRUE(bounds.yVaries);
  EXPECT_FALSE(C2DataBounds({&none, nullptr}).any);
}

TEST(Chart2DLayout, MarginsMakeRoomForTextsAndTheDataRectIsInset) {
  C2Metrics m;
  m.titleHeight = 16;
  m.subtitleHeight = 13;
  m.xLabelHeight = 13;
  m.xTitleHeight = 14;
  m.yTitleHeight = 14;
  m.yLabelWidth = 40;
  m.xLabelHalfWidth = 20;
  const C2Rect client{0, 0, 400, 300};
  const C2Rect plot = C2LayoutPlot(client, m);
  EXPECT_EQ(plot.top, C2PlotTop(client, m));
  EXPECT_EQ(plot.bottom, C2PlotBottom(client, m));
  EXPECT_GT(plot.top, 16 + 13);
  EXPECT_LT(plot.bottom, 300 - 14 - 13);
  EXPECT_GT(plot.left, 14 + 40);
  EXPECT_EQ(plot.right, 400 - 24);
  // Without titles the plot grows.
  const C2Rect bare = C2LayoutPlot(client, C2Metrics{});
  EXPECT_LT(bare.top, plot.top);
  EXPECT_GT(bare.bottom, plot.bottom);
  EXPECT_EQ(C2DataRect({0, 0, 100, 50}), (C2Rect{6, 6, 94, 44}));
  EXPECT_EQ(C2DataRect({0, 0, 10, 50}), (C2Rect{0, 0, 10, 50}));
  // Labels sit outside the plot: x below it, y left of it.
  const C2Rect xBox = C2XLabelBox(plot, 200, 30, 13);
  EXPECT_GE(xBox.top, plot.bottom);
  EXPECT_EQ((xBox.left + xBox.right) / 2, 200);
  const C2Rect yBox = C2YLabelBox(plot, 150, 40, 13);
  EXPECT_LE(yBox.right, plot.left);
  EXPECT_GE(yBox.left, 14);  // clear of the y-axis title at the window edge
  EXPECT_EQ(yBox.top + 13 / 2, 150);
}

}  // namespace

namespace {

// Awkward ranges, sizes and spacings never fail, never give unbounded label
// lists, and map every value onto a representable pixel.
TEST(Chart2DRobustness, LabelsAndMappingStayBoundedForAnyInput) {
  std::mt19937 random(99);
  const float awkward[] = {0.0f,
                           1e-38f,
                           -3e38f,
                           3e38f,
                           1.0f,
                           -1.0f,
                           std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
  std::uniform_real_distribution<float> wide(-1e5f, 1e5f);
  const auto pick = [&]() {
    return random() % 3 == 0 ? awkward[random() % std::size(awkward)] : wide(random);
  };
  for (int round = 0; round < 3000; ++round) {
    const int extent = static_cast<int>(random() % 4000) - 200;
    const int spacing = static_cast<int>(random() % 120);
    const float min = pick();
    const float max = pick();
    const std::size_t bound = static_cast<std::size_t>(std::max(extent, 0)) / std::max(spacing, 1) + 2;
    ASSERT_LE(C2AutoXLabelValues(extent, spacing, min, max).size(), bound);
    ASSERT_LE(C2AutoYLabelValues(extent, spacing, min, max).size(), bound + 1);
    const C2Rect plot{10, 10, 10 + std::max(extent, 0), 300};
    const C2Pixel p = C2ValueToPixel(plot, min, max, min, max, pick(), pick());
    ASSERT_LE(std::abs(p.x), 1000000 + 5000);
    ASSERT_LE(std::abs(p.y), 1000000 + 5000);
    (void)C2PixelsToValueX(plot, min, max, extent);
    ASSERT_LT(C2FormatLabel(pick()).size(), 40u);
  }
}

}  // namespace
