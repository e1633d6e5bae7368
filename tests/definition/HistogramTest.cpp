// Histogram axes, history, statistics and sampling from packets.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXValue.h"

namespace {

std::uint32_t Cell(std::uint32_t col, std::uint32_t row) {
  return (col << 16) | row;
}

std::string StatText(const ADXHistogram& h, int kind, int row, int col) {
  char buf[32];
  h.GetCellStatistic(kind, row, col, buf, sizeof(buf));
  return buf;
}

}  // namespace

TEST(Histogram, AxesMapToTheNearestBreakpoint) {
  ADXHistogram h;
  h.SetRows(1);
  h.SetCols(5);
  h.SetXMin(0.0f);
  h.SetXMax(100.0f);
  EXPECT_EQ(h.AddSample(12.4, 0, 1), Cell(0, 0));
  EXPECT_EQ(h.AddSample(12.5, 0, 1), Cell(1, 0));
  EXPECT_EQ(h.AddSample(-50, 0, 1), Cell(0, 0));
  EXPECT_EQ(h.AddSample(1000, 0, 1), Cell(4, 0));
  EXPECT_EQ(h.SampleCount(), 4u);

  h.SetRows(3);
  h.SetYMin(10.0f);
  h.SetYMax(30.0f);
  EXPECT_EQ(h.AddSample(50, 29, 1), Cell(2, 2));
  EXPECT_EQ(h.RowTable().EntryCount(), 3);
}

TEST(Histogram, SingleRowOrColumnTakesEverySample) {
  ADXHistogram h;
  h.SetXMin(0.0f);
  h.SetXMax(10.0f);
  h.SetYMin(0.0f);
  h.SetYMax(10.0f);
  h.SetRows(1);
  h.SetCols(1);
  EXPECT_EQ(h.AddSample(-100, 100, 2), Cell(0, 0));
  EXPECT_EQ(h.AddSample(5, 5, 4), Cell(0, 0));
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatCount, 0, 0, nullptr, 0), 2.0f);

  // Equal min and max: no axis table, still one cell for everything.
  ADXHistogram flat;
  flat.SetRows(1);
  flat.SetCols(1);
  EXPECT_EQ(flat.AddSample(3, 3, 3), Cell(0, 0));
}

TEST(Histogram, EmptyGridIgnoresSamples) {
  ADXHistogram h;
  EXPECT_EQ(h.AddSample(1, 1, 1), kNoSample);
  h.SetRows(4);
  EXPECT_EQ(h.AddSample(1, 1, 1), kNoSample);  // still no columns
  EXPECT_EQ(h.SampleCount(), 0u);
  h.SetCols(-2);
  EXPECT_EQ(h.AddSample(1, 1, 1), kNoSample);
}

TEST(Histogram, HistoryKeepsTheNewestFirst) {
  ADXHistogram h;
  h.SetRows(1);
  h.SetCols(1);
  h.SetHistorySize(3);
  for (double z : {1.0, 2.0, 3.0, 4.0}) h.AddSample(0, 0, z);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatKept, 0, 0, nullptr, 0), 3.0f);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatMean, 0, 0, nullptr, 0), 3.0f);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatNewest, 0, 0, nullptr, 0), 4.0f);
  EXPECT_EQ(StatText(h, kStatMean, 0, 0), "3");
  // The statistics saw all four.
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatCount, 0, 0, nullptr, 0), 4.0f);

  h.SetHistorySize(0);  // ignored
  EXPECT_EQ(h.GetHistorySize(), 3);
  h.SetHistorySize(20);  // empties the histories, keeps the statistics
  EXPECT_EQ(h.GetHistorySize(), 20);
  EXPECT_EQ(StatText(h, kStatNewest, 0, 0), "");
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatCount, 0, 0, nullptr, 0), 4.0f);
  for (int i = 0; i < 25; ++i) h.AddSample(0, 0, i);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatKept, 0, 0, nullptr, 0), 20.0f);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatNewest, 0, 0, nullptr, 0), 24.0f);
}

TEST(Histogram, StatisticsAndTheirTexts) {
  ADXHistogram h;
  h.SetRows(2);
  h.SetCols(2);
  h.SetXMin(0.0f);
  h.SetXMax(1.0f);
  h.SetYMin(0.0f);
  h.SetYMax(1.0f);
  for (double z : {5.0, 3.0, 9.0}) h.AddSample(1, 0, z);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatMinimum, 0, 1, nullptr, 0), 3.0f);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatMaximum, 0, 1, nullptr, 0), 9.0f);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatCount, 0, 1, nullptr, 0), 3.0f);
  EXPECT_NEAR(h.GetCellStatistic(kStatAverage, 0, 1, nullptr, 0), 5.666667f, 1e-5);
  EXPECT_EQ(StatText(h, kStatAverage, 0, 1), "5.667");
  EXPECT_EQ(StatText(h, kStatRange, 0, 1), "6");
  h.AddSample(0, 1, -3.0);
  h.AddSample(0, 1, 1e10);
  EXPECT_EQ(StatText(h, kStatMinimum, 1, 0), "-3");
  EXPECT_EQ(StatText(h, kStatMaximum, 1, 0), "10000000000");

  // Other cells, undefined kinds and cells outside the grid are not available.
  EXPECT_EQ(StatText(h, kStatCount, 0, 0), "");
  EXPECT_EQ(StatText(h, kStatNewest, 1, 1), "");
  for (int kind : {4, 5, 6, 12, -1}) EXPECT_EQ(StatText(h, kind, 0, 1), "") << kind;
  EXPECT_EQ(StatText(h, kStatCount, 2, 0), "");
  EXPECT_EQ(StatText(h, kStatCount, 0, -1), "");

  h.ClearData();
  EXPECT_EQ(h.SampleCount(), 0u);
  EXPECT_EQ(StatText(h, kStatCount, 0, 1), "");
  EXPECT_EQ(h.GetHistorySize(), 10);
}

TEST(Histogram, StandardDeviation) {
  ADXHistogram h;
  h.SetRows(1);
  h.SetCols(1);
  for (double z : {2.0, 4.0, 4.0, 4.0, 5.0, 5.0, 7.0, 9.0}) h.AddSample(0, 0, z);
  EXPECT_NEAR(h.GetCellStatistic(kStatStdDev, 0, 0, nullptr, 0), 2.138, 1e-3);
  h.ClearData();
  for (int i = 0; i < 5; ++i) h.AddSample(0, 0, 6.5);
  EXPECT_EQ(h.GetCellStatistic(kStatStdDev, 0, 0, nullptr, 0), 0.0f);
  h.ClearData();
  h.AddSample(0, 0, 6.5);
  EXPECT_EQ(h.GetCellStatistic(kStatStdDev, 0, 0, nullptr, 0), 0.0f);  // one value
}

TEST(Histogram, SamplesFromPackets) {
  ADXDefinition def;
  auto make = [&](const char* id, std::uint32_t offset, std::uint32_t cmd) {
    auto v = std::make_unique<ADXValue>();
    v->SetId(id);
    v->SetEquation("X", 1);
    v->packetoffset = offset;
    v->parentcmdidhash = cmd;
    ADXValue* raw = v.get();
    def.Append(std::move(v));
    return raw;
  };
  ADXValue* x = make("X", 0, 0);
  ADXValue* y = make("Y", 1, 5);
  ADXValue* z = make("Z", 2, 6);  // another command: uses its last raw value
  z->SetLastRaw(42);

  ADXHistogram h;
  h.SetRows(3);
  h.SetCols(3);
  h.SetXMin(0.0f);
  h.SetXMax(2.0f);
  h.SetYMin(0.0f);
  h.SetYMax(2.0f);
  h.SetXValue(x);
  h.SetYValue(y);
  h.SetZValue(z);
  const std::uint8_t p[] = {2, 1, 9};
  EXPECT_EQ(h.AddSampleFromPacket(&def, nullptr, 0, 5), kNoSample);
  EXPECT_EQ(h.SampleCount(), 0u);
  EXPECT_EQ(h.AddSampleFromPacket(&def, p, sizeof(p), 5), Cell(2, 1));
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatNewest, 1, 2, nullptr, 0), 42.0f);

  // Only values are accepted as axes; a missing one counts as 0.
  ADXHistogram other;
  other.SetXValue(&h);
  EXPECT_EQ(other.xvalue, nullptr);
  h.SetZValue(nullptr);
  h.AddSampleFromPacket(&def, p, sizeof(p), 5);
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatNewest, 1, 2, nullptr, 0), 0.0f);
}

TEST(Histogram, HugeCountsFromAFileAreCut) {
  ADXHistogram h;
  h.SetXMin(0.0f);
  h.SetXMax(1.0f);
  h.SetRows(2000000000);
  h.SetCols(2000000000);
  EXPECT_EQ(h.rows, kMaxHistogramAxis);
  EXPECT_EQ(h.cols, kMaxHistogramAxis);
  EXPECT_EQ(h.ColumnTable().EntryCount(), kMaxHistogramAxis);
  h.SetHistorySize(2147483647);
  // 512 x 512 cells of (history + 1) floats within the 64 MiB budget.
  EXPECT_EQ(h.GetHistorySize(), 63);
  EXPECT_TRUE(h.HistoryWasCut());
  EXPECT_EQ(h.AddSample(1.0, 0.0, 5.0), Cell(kMaxHistogramAxis - 1, 0));
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatNewest, 0, kMaxHistogramAxis - 1, nullptr, 0), 5.0f);
}

TEST(Histogram, HistoryStaysWithinTheMemoryBudgetOfItsGrid) {
  ADXHistogram h;
  h.SetRows(16);
  h.SetCols(16);
  h.SetHistorySize(kMaxHistorySize);
  EXPECT_EQ(h.GetHistorySize(), kMaxHistorySize);  // 256 cells of 4097 floats fit
  EXPECT_FALSE(h.HistoryWasCut());
  h.SetHistorySize(kMaxHistorySize + 1);
  EXPECT_EQ(h.GetHistorySize(), kMaxHistorySize);
  EXPECT_TRUE(h.HistoryWasCut());
  h.SetHistorySize(kMaxHistorySize);

  // A larger grid cuts the history whatever order the file gives them in.
  h.SetRows(512);
  h.SetCols(400);
  const std::int32_t fits =
      static_cast<std::int32_t>(kHistogramHistoryBudgetBytes / sizeof(float) / (512 * 400)) - 1;
  EXPECT_EQ(h.GetHistorySize(), fits);
  EXPECT_TRUE(h.HistoryWasCut());
  EXPECT_EQ(h.RequestedHistorySize(), kMaxHistorySize);
  EXPECT_LE(std::size_t{512} * 400 * (h.GetHistorySize() + 1) * sizeof(float), kHistogramHistoryBudgetBytes);
  // Every cell can fill its whole history.
  h.SetXMin(0.0f);
  h.SetXMax(399.0f);
  h.SetYMin(0.0f);
  h.SetYMax(511.0f);
  for (int i = 0; i < fits + 5; ++i) h.AddSample(399.0, 511.0, static_cast<double>(i));
  EXPECT_FLOAT_EQ(h.GetCellStatistic(kStatKept, 511, 399, nullptr, 0), static_cast<float>(fits));

  // A smaller grid again gives back what was asked for; a default history is
  // never cut.
  h.SetRows(4);
  EXPECT_EQ(h.GetHistorySize(), kMaxHistorySize);
  EXPECT_FALSE(h.HistoryWasCut());
  ADXHistogram plain;
  plain.SetRows(kMaxHistogramAxis);
  plain.SetCols(kMaxHistogramAxis);
  EXPECT_EQ(plain.GetHistorySize(), kDefaultHistorySize);
  EXPECT_FALSE(plain.HistoryWasCut());
}
