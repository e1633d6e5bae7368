#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "controls/datachart/DataChartGeometry.h"

namespace {

std::vector<double> TickValues(const DcTicks& ticks) {
  std::vector<double> values;
  for (int i = 0; i < ticks.count; ++i) values.push_back(DcTickValue(ticks, i));
  return values;
}

TEST(DataChartTicks, OneTickPer35PixelsAcrossStopsBelowTheMaximum) {
  const DcTicks ticks = DcComputeTicks(true, {0, 0, 700, 10}, 0.0, 20.0, false, 0.0);
  EXPECT_DOUBLE_EQ(ticks.step, 1.0);
  EXPECT_EQ(ticks.decimals, 0);
  const std::vector<double> values = TickValues(ticks);
  ASSERT_EQ(values.size(), 20u);
  EXPECT_DOUBLE_EQ(values.front(), 0.0);
  EXPECT_DOUBLE_EQ(values.back(), 19.0);
}

TEST(DataChartTicks, VerticalAxisRoundsUpToTheNextOneTwoFiveStep) {
  const DcTicks ticks = DcComputeTicks(false, {0, 0, 10, 200}, 0.0, 255.0, false, 0.0);
  EXPECT_DOUBLE_EQ(ticks.step, 50.0);
  EXPECT_EQ(TickValues(ticks), (std::vector<double>{0, 50, 100, 150, 200, 250}));
  // A length measured from bottom to top counts the same.
  const DcTicks flipped = DcComputeTicks(false, {0, 200, 10, 0}, 0.0, 255.0, false, 0.0);
  EXPECT_DOUBLE_EQ(flipped.step, 50.0);
}

TEST(DataChartTicks, DecimalsFollowTheStep) {
  // 0..1 over 10 ticks: step 0.1, one decimal.
  DcTicks ticks = DcComputeTicks(false, {0, 0, 10, 200}, 0.0, 1.0, false, 0.0);
  EXPECT_NEAR(ticks.step, 0.1, 1e-12);
  EXPECT_EQ(ticks.decimals, 1);
  // Raw step 0.6 needs ten times 0.1: the step is 1 and needs no decimals.
  ticks = DcComputeTicks(false, {0, 0, 10, 200}, 0.0, 6.0, false, 0.0);
  EXPECT_DOUBLE_EQ(ticks.step, 1.0);
  EXPECT_EQ(ticks.decimals, 0);
  // Raw step 0.006: 0.01 with two decimals.
  ticks = DcComputeTicks(false, {0, 0, 10, 200}, 0.0, 0.06, false, 0.0);
  EXPECT_NEAR(ticks.step, 0.01, 1e-12);
  EXPECT_EQ(ticks.decimals, 2);
}

TEST(DataChartTicks, FirstTickCountsFromTheVisibleOrTheFullMinimum) {
  // 280 pixels: 8 ticks over 7 units gives a step of 1.
  DcTicks ticks = DcComputeTicks(true, {0, 0, 280, 10}, 3.2, 10.0, false, 0.5);
  EXPECT_DOUBLE_EQ(ticks.first, 4.0);
  ticks = DcComputeTicks(true, {0, 0, 280, 10}, 3.2, 10.0, true, 0.5);
  EXPECT_DOUBLE_EQ(ticks.first, 3.5);
  EXPECT_DOUBLE_EQ(TickValues(ticks).back(), 9.5);
  // Negative minimum: smallest multiple at or above it.
  ticks = DcComputeTicks(true, {0, 0, 700, 10}, -5.5, 14.5, false, 0.0);
  EXPECT_DOUBLE_EQ(ticks.first, -5.0);
}

TEST(DataChartTicks, DegenerateAxesGetNoTicksAndShortOnesStillGetSome) {
  EXPECT_EQ(DcComputeTicks(true, {0, 0, 700, 10}, 5.0, 5.0, false, 0.0).count, 0);
  EXPECT_EQ(DcComputeTicks(true, {0, 0, 700, 10}, 9.0, 1.0, false, 0.0).count, 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(DcComputeTicks(true, {0, 0, 700, 10}, nan, 1.0, false, 0.0).count, 0);
  EXPECT_EQ(
      DcComputeTicks(true, {0, 0, 700, 10}, 0.0, std::numeric_limits<double>::infinity(), false, 0.0).count,
      0);
  // Shorter than one tick spacing: one tick span covering the whole range.
  const DcTicks tiny = DcComputeTicks(true, {0, 0, 10, 10}, 0.0, 20.0, false, 0.0);
  EXPECT_DOUBLE_EQ(tiny.step, 20.0);
  EXPECT_EQ(TickValues(tiny), (std::vector<double>{0.0}));
  // A huge range with a tiny span still produces a bounded tick count.
  const DcTicks wide = DcComputeTicks(true, {0, 0, 5000, 10}, -3.0e38, 3.0e38, false, 0.0);
  EXPECT_LE(wide.count, 5000 / 35 + 2);
}

TEST(DataChartMapping, ValuesMapLinearlyAndTruncate) {
  const DcRect span{10, 0, 110, 200};
  EXPECT_EQ(DcValueToPixel(true, span, 0, 100, 50), 60);
  EXPECT_EQ(DcValueToPixel(true, span, 0, 100, 0), 10);
  EXPECT_EQ(DcValueToPixel(true, span, 0, 100, 100), 110);
  // Vertical axes grow upwards from the bottom edge.
  EXPECT_EQ(DcValueToPixel(false, span, 0, 100, 0), 200);
  EXPECT_EQ(DcValueToPixel(false, span, 0, 100, 100), 0);
  EXPECT_EQ(DcValueToPixel(false, span, 0, 100, 33.3), 133);
  // An empty range or a value that is not finite maps to the start, no division by zero.
  EXPECT_EQ(DcValueToPixel(true, span, 5, 5, 7), 10);
  EXPECT_EQ(DcValueToPixel(false, span, 0, 100, std::numeric_limits<double>::quiet_NaN()), 200);
  // Far-away values stay representable.
  EXPECT_GT(DcValueToPixel(true, span, 0, 1, 1.0e30), 1000000);
}

TEST(DataChartLayout, AxesShrinkThePlotOnTheirSideAndStackOutwards) {
  const DcRect client{0, 0, 400, 300};
  const DcLayout layout = DcLayoutChart(
      client, 20,
      {{DcAxisLeft, 30}, {DcAxisLeft, 40}, {DcAxisBottom, 25}, {DcAxisRight, 10}, {DcAxisTop, 7}});
  EXPECT_EQ(layout.plot, (DcRect{3 + 70, 3 + 20 + 7, 397 - 10, 297 - 25}));
  EXPECT_EQ(layout.offsets, (std::vector<int>{0, 30, 0, 0, 0}));
  EXPECT_EQ(DcLayoutChart(client, 0, {}).plot, (DcRect{3, 3, 397, 297}));
  EXPECT_EQ(DcAxisWidth(true, 14, 30), 14 + 2 + 8 + 30 + 2);
  EXPECT_EQ(DcAxisWidth(false, 14, 30), 8 + 30 + 2);
}

TEST(DataChartScroll, NewPointsBeyondTheWindowMoveItWithAMargin) {
  DcScroll s = DcScrollToInclude(0.0f, 20.0f, 21.0f, 15);
  EXPECT_TRUE(s.moved);
  EXPECT_FLOAT_EQ(s.min, 4.0f);
  EXPECT_FLOAT_EQ(s.max, 24.0f);
  s = DcScrollToInclude(0.0f, 20.0f, -1.0f, 15);
  EXPECT_TRUE(s.moved);
  EXPECT_FLOAT_EQ(s.min, -4.0f);
  EXPECT_FLOAT_EQ(s.max, 16.0f);
  EXPECT_FALSE(DcScrollToInclude(0.0f, 20.0f, 20.0f, 15).moved);
  EXPECT_FALSE(DcScrollToInclude(0.0f, 20.0f, std::numeric_limits<float>::quiet_NaN(), 15).moved);
}

TEST(DataChartLabels, TimeLabelsWrapMinutesAndSignNegativeTimes) {
  EXPECT_EQ(DcFormatTimeLabel(75.0), "1:15");
  EXPECT_EQ(DcFormatTimeLabel(-75.0), "-1:15");
  EXPECT_EQ(DcFormatTimeLabel(3675.0), "1:15");
  EXPECT_EQ(DcFormatTimeLabel(125.7), "2:05");
  EXPECT_EQ(DcFormatTimeLabel(-65.0), "-1:05");
  EXPECT_EQ(DcFormatTimeLabel(0.0), "0:00");
  EXPECT_EQ(DcFormatTimeLabel(std::numeric_limits<double>::quiet_NaN()), "");
  // Beyond the range of an int the label is still well formed.
  EXPECT_EQ(DcFormatTimeLabel(3.0e38).find(':'), DcFormatTimeLabel(3.0e38).size() - 3);
  EXPECT_EQ(DcFormatFixed(2.5, 0), "2");
  EXPECT_EQ(DcFormatFixed(255.0, 2), "255.00");
  EXPECT_LT(DcFormatFixed(3.0e38, 2).size(), 30u);
}

std::vector<DcPoint> Ramp(int count) {
  std::vector<DcPoint> points;
  for (int i = 0; i < count; ++i) points.push_back({static_cast<float>(i), static_cast<float>(i % 7)});
  return points;
}

TEST(DataChartVisiblePoints, SortedSearchKeepsOneNeighbourOnEachSide) {
  const std::vector<DcPoint> points = Ramp(100);
  DcIndexRange range = DcVisibleRangeSorted(points, 10.5f, 20.5f);
  EXPECT_EQ(range.begin, 10u);  // last point left of the window
  EXPECT_EQ(range.end, 22u);    // up to and including the first point right of it
  range = DcVisibleRangeSorted(points, 0.0f, 200.0f);
  EXPECT_EQ(range.begin, 0u);
  EXPECT_EQ(range.end, 100u);
  range = DcVisibleRangeSorted(points, 500.0f, 600.0f);
  EXPECT_EQ(range.begin, 99u);
  EXPECT_EQ(range.end, 100u);
  range = DcVisibleRangeSorted({}, 0.0f, 1.0f);
  EXPECT_EQ(range.begin, range.end);
}

TEST(DataChartVisiblePoints, PolylineFollowsTheLineRulesAndStaysBounded) {
  const DcRect span{0, 0, 100, 100};
  // Unsorted walk from the first point: 5 skipped (left of 10), 30 ends the line.
  const std::vector<DcPoint> walk{{12, 0}, {5, 50}, {15, 50}, {30, 100}, {18, 0}};
  std::vector<DcPixel> line = DcSeriesPolyline(walk, {0, walk.size()}, span, 10, 20, 0, 100);
  ASSERT_EQ(line.size(), 3u);
  EXPECT_DOUBLE_EQ(line[0].x, 20.0);
  EXPECT_DOUBLE_EQ(line[1].x, 50.0);
  // The exit segment toward x = 30 is cut at the plot edge with its slope kept.
  EXPECT_DOUBLE_EQ(line[2].x, 102.0);
  EXPECT_NEAR(line[2].y, 50.0 - 52.0 / 150.0 * 50.0, 1e-9);

  // 100000 points over a 100-pixel plot collapse to at most four per column.
  std::vector<DcPoint> dense;
  for (int i = 0; i < 100000; ++i) dense.push_back({i * 0.001f, static_cast<float>((i * 37) % 100)});
  line = DcSeriesPolyline(dense, DcVisibleRangeSorted(dense, 0.0f, 100.0f), span, 0, 100, 0, 100);
  EXPECT_LE(line.size(), 4u * 101u);
  EXPECT_GE(line.size(), 100u);
  double low = 1e9, high = -1e9;
  for (const DcPixel& p : line) {
    low = std::min(low, p.y);
    high = std::max(high, p.y);
  }
  EXPECT_DOUBLE_EQ(low, 1.0);     // y 99 is kept
  EXPECT_DOUBLE_EQ(high, 100.0);  // and so is y 0

  // Non-finite points are left out; one remaining point draws nothing.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(DcSeriesPolyline(std::vector<DcPoint>{{1, nan}, {2, 5}}, {0, 2}, span, 0, 10, 0, 10).empty());
}

}  // namespace

namespace {

TEST(DataChartValueColumn, GivesBackEveryStoredBitPatternThroughEveryChange) {
  // Against a plain vector, bit for bit: appends, changes and removals, with
  // -0, infinities and NaNs of several payloads, while the values stay within
  // the table and after they go past it (by an append or by a change).
  const float specials[] = {0.0f,
                            -0.0f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::bit_cast<float>(0x7fc00001u),
                            std::bit_cast<float>(0xffc00000u),
                            std::numeric_limits<float>::denorm_min()};
  for (int widenBy = 0; widenBy < 3; ++widenBy) {
    std::mt19937 rng(91 + widenBy);
    DcValueColumn column;
    std::vector<float> reference;
    const auto check = [&](const char* when) {
      ASSERT_EQ(column.size(), reference.size()) << when;
      for (std::size_t i = 0; i < reference.size(); ++i)
        ASSERT_EQ(std::bit_cast<std::uint32_t>(column[i]), std::bit_cast<std::uint32_t>(reference[i]))
            << when << " at " << i;
    };
    // A byte through an equation: at most 256 distinct values, specials among them.
    const auto fromByte = [&] {
      const unsigned raw = rng() & 255u;
      return raw < 7 ? specials[raw] : static_cast<float>(raw) / 2.55f;
    };
    for (int i = 0; i < 20000; ++i) {
      const float v = fromByte();
      column.push_back(v);
      reference.push_back(v);
      if (i % 97 == 0) {
        const std::size_t at = rng() % reference.size();
        const float w = fromByte();
        column.set(at, w);
        reference[at] = w;
      }
      if (i % 101 == 0) {
        const std::size_t at = rng() % reference.size();
        column.erase(at);
        reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(at));
      }
    }
    check("within the table");
    EXPECT_FALSE(column.wide());
    // A 257th distinct value.
    const float outside = 1234.5678f;
    if (widenBy == 0) {
      column.push_back(outside);
      reference.push_back(outside);
    } else if (widenBy == 1) {
      column.set(5, outside);
      reference[5] = outside;
    } else {
      column.clear();
      reference.clear();
      for (int i = 0; i < 300; ++i) {
        column.push_back(static_cast<float>(i) * 0.1f);
        reference.push_back(static_cast<float>(i) * 0.1f);
      }
    }
    EXPECT_TRUE(column.wide());
    check("past the table");
    for (int i = 0; i < 1000; ++i) {
      const float v = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
      column.push_back(v);
      reference.push_back(v);
    }
    column.set(0, -0.0f);
    reference[0] = -0.0f;
    column.erase(1);
    reference.erase(reference.begin() + 1);
    check("after more changes");
    column.clear();
    EXPECT_TRUE(column.empty());
    EXPECT_FALSE(column.wide());
    column.push_back(3.0f);
    EXPECT_EQ(column[0], 3.0f);
  }
}

TEST(DataChartAxisDrawing, LinesTicksLabelsAndTitlesSitOutsideThePlot) {
  const DcRect plot{100, 50, 500, 300};
  // Lines: 2 pixels outside on the left and top, 1 on the right and bottom, past earlier axes.
  EXPECT_EQ(DcAxisLine(DcAxisLeft, plot, 40), 58);
  EXPECT_EQ(DcAxisLine(DcAxisRight, plot, 0), 501);
  EXPECT_EQ(DcAxisLine(DcAxisTop, plot, 0), 48);
  EXPECT_EQ(DcAxisLine(DcAxisBottom, plot, 30), 331);
  // Ticks point away from the plot.
  EXPECT_EQ(DcTickSegment(DcAxisLeft, 98, 120), (DcRect{93, 120, 98, 120}));
  EXPECT_EQ(DcTickSegment(DcAxisBottom, 301, 150), (DcRect{150, 301, 150, 306}));
  // Labels: ending 6 left of a left line, starting 9 right of a right line,
  // centred on the tick; 6 below a bottom line; above a top line.
  EXPECT_EQ(DcLabelBox(DcAxisLeft, 98, 120, 30, 14), (DcRect{62, 113, 92, 127}));
  EXPECT_EQ(DcLabelBox(DcAxisRight, 501, 120, 30, 14), (DcRect{510, 113, 540, 127}));
  EXPECT_EQ(DcLabelBox(DcAxisBottom, 301, 150, 30, 14), (DcRect{135, 307, 165, 321}));
  EXPECT_EQ(DcLabelBox(DcAxisTop, 48, 150, 30, 14), (DcRect{135, 28, 165, 42}));
  // Titles take the outermost band of the axis' room.
  EXPECT_EQ(DcTitleBand(DcAxisLeft, plot, 10, 50, 14), (DcRect{40, 50, 54, 300}));
  EXPECT_EQ(DcTitleBand(DcAxisBottom, plot, 0, 40, 16), (DcRect{100, 324, 500, 340}));
  // The label of a left axis never reaches into the title band: width = title + 2 + 8 + label + 2.
  const int width = DcAxisWidth(true, 14, 30);
  const int line = DcAxisLine(DcAxisLeft, plot, 0);
  EXPECT_GE(DcLabelBox(DcAxisLeft, line, 120, 30, 14).left,
            DcTitleBand(DcAxisLeft, plot, 0, width, 14).right);
  // Labels at the window edge shift inwards whole; ones that fit stay put.
  const DcRect client{0, 0, 600, 400};
  EXPECT_EQ(DcKeepInside({-15, 300, 15, 314}, client), (DcRect{0, 300, 30, 314}));
  EXPECT_EQ(DcKeepInside({590, 392, 620, 406}, client), (DcRect{570, 386, 600, 400}));
  EXPECT_EQ(DcKeepInside({100, 100, 130, 114}, client), (DcRect{100, 100, 130, 114}));
  // A label that had to move is dropped when it would then crowd its neighbour.
  std::vector<DcPlacedLabel> placed =
      DcPlaceLabels({{-15, 300, 15, 314}, {20, 300, 50, 314}, {60, 300, 90, 314}}, client);
  EXPECT_FALSE(placed[0].drawn);
  EXPECT_TRUE(placed[1].drawn && placed[2].drawn);
  placed = DcPlaceLabels({{-5, 300, 25, 314}, {40, 300, 70, 314}}, client);
  EXPECT_TRUE(placed[0].drawn);
  EXPECT_EQ(placed[0].box.left, 0);
  // Two pixels apart still reads as one text.
  placed = DcPlaceLabels({{-10, 300, 17, 314}, {29, 300, 56, 314}}, client);
  EXPECT_FALSE(placed[0].drawn);
}

}  // namespace

namespace {

// Awkward values mixed with random ones: ranges that are empty, inverted,
// tiny, huge or not finite must never give unbounded work or ticks outside the range.
TEST(DataChartRobustness, TicksAndPolylinesStayBoundedForAnyRange) {
  std::mt19937 random(1234);
  const float awkward[] = {0.0f,
                           -0.0f,
                           1e-38f,
                           -1e-38f,
                           3e38f,
                           -3e38f,
                           1.0f,
                           -1.0f,
                           1e7f,
                           0.1f,
                           std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
  std::uniform_real_distribution<float> wide(-1e6f, 1e6f);
  const auto pick = [&]() {
    return random() % 3 == 0 ? awkward[random() % std::size(awkward)] : wide(random);
  };
  std::vector<DcPoint> points;
  for (int i = 0; i < 500; ++i) points.push_back({static_cast<float>(i) * 0.5f - 100.0f, pick()});
  for (int round = 0; round < 3000; ++round) {
    const float min = pick();
    const float max = pick();
    const int length = static_cast<int>(random() % 3000) - 100;
    const bool horizontal = random() % 2 == 0;
    const DcRect span{0, 0, horizontal ? length : 10, horizontal ? 10 : length};
    const bool fromFull = random() % 2 == 0;
    const float full = pick();
    const DcTicks ticks = DcComputeTicks(horizontal, span, min, max, fromFull, full);
    SCOPED_TRACE(testing::Message() << "min " << min << " max " << max << " length " << length << " full "
                                    << fromFull << " " << full << " step " << ticks.step << " first "
                                    << ticks.first);
    const long long n = std::max<long long>(std::llabs(length) / (horizontal ? 35 : 20), 1);
    ASSERT_LE(ticks.count, n + 2);
    for (int i = 0; i < ticks.count; ++i) {
      const double value = DcTickValue(ticks, i);
      ASSERT_GE(value, static_cast<double>(min) - ticks.step * 1e-6);
      ASSERT_LT(value, static_cast<double>(max));
    }
    (void)DcValueToPixel(horizontal, span, min, max, pick());
    const DcRect plot{0, 0, std::max(length, 0), 200};
    const DcIndexRange range = DcVisibleRangeSorted(points, min, max);
    ASSERT_LE(range.end, points.size());
    const std::vector<DcPixel> line = DcSeriesPolyline(points, range, plot, min, max, -1e6f, 1e6f);
    ASSERT_LE(line.size(), 4u * (static_cast<std::size_t>(plot.right) + 6u) + 4u);
    for (const DcPixel& p : line) ASSERT_FALSE(std::isnan(p.x) || std::isnan(p.y));
    (void)DcFormatTimeLabel(pick());
  }
}

}  // namespace
