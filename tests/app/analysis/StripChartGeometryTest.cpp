// The strip charts' arithmetic: zoom keeps the pointer's time in place and
// stays within the log, pan stops at the ends, the min/max envelope keeps
// every extreme of a million samples, ticks and the cursor's record.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "analysis/LogData.h"
#include "app/analysis/ScatterWidget.h"
#include "app/analysis/StripChartGeometry.h"
#include "tests/analysis/AnalysisTestSupport.h"

namespace {

using xdltest::RawRecord;

constexpr TimeView kLog{0.0, 100.0};

TEST(StripChartGeometry, ZoomKeepsTheAnchorAndStaysWithinTheLog) {
  const TimeView in = ZoomView(kLog, 25.0, 0.5, kLog);
  EXPECT_DOUBLE_EQ(in.Span(), 50.0);
  // 25 s stays at a quarter of the view.
  EXPECT_DOUBLE_EQ((25.0 - in.from) / in.Span(), 0.25);
  EXPECT_DOUBLE_EQ(TimeAtX(in, XAtTime(in, 25.0, 10, 400), 10, 400), 25.0);
  // Zooming out past the log gives the log; in past the limit stops there.
  EXPECT_EQ(ZoomView(in, 90.0, 10.0, kLog), kLog);
  const TimeView tiny = ZoomView(kLog, 50.0, 1e-9, kLog);
  EXPECT_NEAR(tiny.Span(), kMinimumViewSpan, 1e-12);
  // Near the end the view is pushed back inside.
  const TimeView edge = ZoomView(TimeView{90.0, 100.0}, 99.0, 1.5, kLog);
  EXPECT_DOUBLE_EQ(edge.to, 100.0);
  EXPECT_DOUBLE_EQ(edge.Span(), 15.0);
  // Nonsense factors change nothing.
  EXPECT_EQ(ZoomView(in, 10.0, 0.0, kLog), in);
  EXPECT_EQ(ZoomView(in, 10.0, std::numeric_limits<double>::quiet_NaN(), kLog), in);
}

TEST(StripChartGeometry, PanAndDraggedRangesStopAtTheEnds) {
  EXPECT_EQ(PanView(TimeView{10, 20}, 5, kLog), (TimeView{15, 25}));
  EXPECT_EQ(PanView(TimeView{10, 20}, -50, kLog), (TimeView{0, 10}));
  EXPECT_EQ(PanView(TimeView{10, 20}, 500, kLog), (TimeView{90, 100}));
  EXPECT_EQ(ViewFromRange(40, 30, kLog), (TimeView{30, 40}));
  EXPECT_EQ(ViewFromRange(-5, 200, kLog), kLog);
  // A log of one instant still has a view.
  const TimeView point{5.0, 5.0};
  EXPECT_EQ(ZoomView(point, 5.0, 0.5, point).Span(), 0.0);
}

class EnvelopeTest : public ::testing::Test {
 protected:
  void Build(std::size_t n) {
    std::vector<RawRecord> records;
    for (std::size_t i = 0; i < n; ++i)
      records.push_back({static_cast<std::uint32_t>(i), 0, xdltest::Bytes(8, 0)});
    const std::string path = dir.File("t.xdl");
    xdltest::WriteAll(
        path, xdltest::BuildLog({{1, "A", ADX_TYPE_SENDCOMMAND, 8, 8, xdltest::AllOnes(15)}}, records));
    ASSERT_EQ(ReadLogData(path, &log), LogReadResult::kOk);
  }
  xdltest::ScratchDir dir;
  LogData log;
};

TEST_F(EnvelopeTest, KeepsEveryExtremeOfManySamples) {
  Build(200000);  // one record per millisecond, 0 .. 199.999 s
  std::mt19937 random(3);
  std::vector<float> samples(log.RecordCount());
  for (float& v : samples) v = static_cast<float>(random() % 1000);
  samples[123457] = 5000.0f;  // one spike
  samples[4000] = std::numeric_limits<float>::quiet_NaN();
  const TimeView view{10.0, 150.0};
  const int columns = 333;
  const std::vector<EnvelopeColumn> env = MinMaxEnvelope(log, samples, view, columns);
  ASSERT_EQ(env.size(), 333u);
  // Brute force: each sample in view goes into the column of its time.
  std::vector<float> lo(columns, 1e30f), hi(columns, -1e30f);
  for (std::size_t r = 0; r < samples.size(); ++r) {
    const double t = log.TimeSeconds(r);
    if (t < view.from || t > view.to || std::isnan(samples[r])) continue;
    int c = static_cast<int>((t - view.from) / (view.Span() / columns));
    // Times on a boundary belong to the column they start.
    if (c >= columns) c = columns - 1;
    const double step = view.Span() / columns;
    if (c > 0 && t < view.from + step * c) --c;
    if (c + 1 < columns && view.from + step * (c + 1) <= t) ++c;
    lo[c] = std::min(lo[c], samples[r]);
    hi[c] = std::max(hi[c], samples[r]);
  }
  float peak = 0.0f;
  for (int c = 0; c < columns; ++c) {
    ASSERT_TRUE(env[c].valid);
    EXPECT_EQ(env[c].minimum, lo[c]) << c;
    EXPECT_EQ(env[c].maximum, hi[c]) << c;
    peak = std::max(peak, env[c].maximum);
  }
  EXPECT_EQ(peak, 5000.0f);
  // Read through block summaries, every column has the same extremes.
  const EnvelopeBlocks blocks = SummarizeBlocks(samples);
  for (const TimeView& v : {view, TimeView{0.0, 199.999}, TimeView{3.3, 3.9}}) {
    for (int n : {1, 7, 333, 1000}) {
      const std::vector<EnvelopeColumn> plain = MinMaxEnvelope(log, samples, v, n);
      const std::vector<EnvelopeColumn> fast = MinMaxEnvelope(log, samples, v, n, &blocks);
      for (int c = 0; c < n; ++c) {
        ASSERT_EQ(plain[c].valid, fast[c].valid) << n << " " << c;
        ASSERT_EQ(plain[c].minimum, fast[c].minimum) << n << " " << c;
        ASSERT_EQ(plain[c].maximum, fast[c].maximum) << n << " " << c;
        ASSERT_EQ(plain[c].last, fast[c].last) << n << " " << c;
      }
    }
  }
  // A view between samples has empty columns; columns of zero give nothing.
  EXPECT_FALSE(MinMaxEnvelope(log, samples, TimeView{10.0001, 10.0009}, 4)[1].valid);
  EXPECT_TRUE(MinMaxEnvelope(log, samples, view, 0).empty());
}

TEST_F(EnvelopeTest, CursorReadsTheLastRecordAtOrBeforeIt) {
  Build(10);
  EXPECT_EQ(RecordAtTime(log, 0.0045), 4u);
  EXPECT_EQ(RecordAtTime(log, 0.005), 5u);
  EXPECT_EQ(RecordAtTime(log, -1.0), 0u);
  EXPECT_EQ(RecordAtTime(log, 99.0), 9u);
}

TEST(StripChartGeometry, TicksAndScales) {
  EXPECT_EQ(AxisTicks(0.0, 10.0, 5), (std::vector<double>{0, 2, 4, 6, 8, 10}));
  const std::vector<double> fine = AxisTicks(0.13, 0.61, 4);  // a step of 0.12 or more: 0.2
  ASSERT_EQ(fine.size(), 3u);
  EXPECT_DOUBLE_EQ(fine[2], 0.6);
  EXPECT_TRUE(AxisTicks(1.0, 1.0, 4).empty());
  EXPECT_DOUBLE_EQ(YAtValue(0.0, 0.0, 10.0, 100.0, 50.0), 150.0);
  EXPECT_DOUBLE_EQ(YAtValue(10.0, 0.0, 10.0, 100.0, 50.0), 100.0);
  EXPECT_DOUBLE_EQ(YAtValue(3.0, 3.0, 3.0, 100.0, 50.0), 125.0);
}

TEST(StripChartGeometry, ScatterThinsEvenlyAndSkipsGaps) {
  std::vector<float> x(1000), y(1000), c(1000);
  for (int i = 0; i < 1000; ++i) x[i] = y[i] = c[i] = static_cast<float>(i);
  y[500] = std::numeric_limits<float>::quiet_NaN();
  const ScatterPoints all = CollectScatter(x, y, &c, 100, 200, 1000);
  EXPECT_EQ(all.x.size(), 100u);
  const ScatterPoints thin = CollectScatter(x, y, &c, 0, 1000, 100);
  EXPECT_EQ(thin.records, 999u);
  EXPECT_LE(thin.x.size(), 100u);
  EXPECT_GE(thin.x.size(), 99u);
  EXPECT_TRUE(CollectScatter(x, y, nullptr, 5, 5, 10).x.empty());
}

}  // namespace
