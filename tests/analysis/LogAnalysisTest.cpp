// Reading whole logs and decoding them per definition: the records and
// packets held, channel columns, statistics and definition diffs.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "analysis/DefinitionDiff.h"
#include "analysis/LogColumns.h"
#include "analysis/LogData.h"
#include "analysis/LogStatistics.h"
#include "tests/analysis/AnalysisTestSupport.h"
#include "tests/support/ResultPrinting.h"

namespace {

using namespace analysistest;
using xdltest::BuildLog;
using xdltest::RawRecord;
using xdltest::ScratchDir;
using xdltest::WriteAll;

class LogAnalysisTest : public ::testing::Test {
 protected:
  void SetUp() override { engine = BuildEngineDefinition(def); }
  // Writes the records as a log and reads it back.
  void Load(const std::vector<RawRecord>& records) {
    path = dir.File("drive.xdl");
    WriteAll(path, BuildLog(EngineEntries(engine), records));
    ASSERT_EQ(ReadLogData(path, &log), LogReadResult::kOk);
  }
  ADXObject& Item(const char* id) { return *def.FindById(id); }

  ScratchDir dir;
  ADXDefinition def;
  EngineDefinition engine;
  std::string path;
  LogData log;
};

TEST_F(LogAnalysisTest, HoldsEveryRecordWithItsTimeEntryAndExpandedPacket) {
  // A masked entry: bytes 1 and 3 of the 4-byte packet are not stored.
  std::vector<xdltest::RawEntry> entries = EngineEntries(engine);
  entries[1].stored = 2;
  entries[1].mask = {0x05};
  std::vector<RawRecord> records = {
      {0, 0, {1, 2, 3, 4, 5, 6, 7, 8}}, {40, 1, {0xAA, 0xBB}}, {75, 0, Bytes(8, 9)}};
  path = dir.File("masked.xdl");
  WriteAll(path, BuildLog(entries, records));
  ASSERT_EQ(ReadLogData(path, &log), LogReadResult::kOk);
  ASSERT_EQ(log.RecordCount(), 3u);
  EXPECT_EQ(log.Record(1).entry, 1u);
  EXPECT_DOUBLE_EQ(log.TimeSeconds(2), 0.075);
  EXPECT_EQ(Bytes(log.Packet(0), log.Packet(0) + log.PacketSize(0)), records[0].payload);
  EXPECT_EQ(Bytes(log.Packet(1), log.Packet(1) + log.PacketSize(1)), (Bytes{0xAA, 0, 0xBB, 0}));
  EXPECT_EQ(log.LowerBound(0.04), 1u);
  EXPECT_EQ(log.UpperBound(0.04), 2u);
  EXPECT_EQ(log.UpperBound(1.0), 3u);
}

TEST_F(LogAnalysisTest, DamagedRecordsAreSkippedAndBadFilesRefused) {
  // A record of an entry beyond the table is left out; a record cut short ends the data.
  std::vector<RawRecord> records = {{0, 0, Bytes(8, 1)}, {10, 5, {}}, {20, 1, Bytes(4, 2)}};
  Bytes bytes = BuildLog(EngineEntries(engine), records);
  bytes.insert(bytes.end(), {0x10, 0, 0, 0, 0x20});  // half a head
  path = dir.File("damaged.xdl");
  WriteAll(path, bytes);
  ASSERT_EQ(ReadLogData(path, &log), LogReadResult::kOk);
  EXPECT_EQ(log.RecordCount(), 2u);
  EXPECT_EQ(log.SkippedRecords(), 1u);

  EXPECT_EQ(ReadLogData(dir.File("missing.xdl"), &log), LogReadResult::kCannotOpen);
  xdltest::RawLogOptions old;
  old.version = 2;
  WriteAll(path, BuildLog(EngineEntries(engine), records, old));
  EXPECT_EQ(ReadLogData(path, &log), LogReadResult::kWrongVersion);
  EXPECT_EQ(log.RecordCount(), 0u);
}

TEST_F(LogAnalysisTest, CancelStopsTheReadAndLeavesNothingBehind) {
  Load(EngineRecords(40000));
  std::atomic<bool> cancel{false};
  std::size_t calls = 0;
  const LogReadResult result = ReadLogData(path, &log, &cancel, [&](std::size_t done, std::size_t total) {
    ++calls;
    EXPECT_LE(done, total);
    cancel = true;
  });
  EXPECT_EQ(result, LogReadResult::kCancelled);
  EXPECT_GE(calls, 1u);
  EXPECT_EQ(log.RecordCount(), 0u);
}

TEST_F(LogAnalysisTest, RecordsOfCommandsTheDefinitionLacksAreNotDecoded) {
  // A third entry whose command the definition does not know, and a command
  // that does not read its reply.
  std::vector<xdltest::RawEntry> entries = EngineEntries(engine);
  entries.push_back({0x12345678u, "OTHER", ADX_TYPE_SENDCOMMAND, 8, 8, xdltest::AllOnes(15)});
  path = dir.File("other.xdl");
  WriteAll(path, BuildLog(entries, {{0, 2, Bytes(8, 1)}, {5, 0, Bytes(8, 2)}}));
  ASSERT_EQ(ReadLogData(path, &log), LogReadResult::kOk);
  LogBinding binding(log, def);
  BoundPacket packet;
  EXPECT_FALSE(binding.PacketOf(0, &packet));
  ASSERT_TRUE(binding.PacketOf(1, &packet));
  EXPECT_EQ(packet.length, 6u);  // the FAST reply from its packet offset
  EXPECT_EQ(packet.command, engine.fast);
  EXPECT_EQ(binding.UnknownEntries(), 1u);
  static_cast<ADXCSendCommand*>(def.FindById("FAST"))->flags = 0;
  LogBinding unread(log, def);
  EXPECT_FALSE(unread.PacketOf(1, &packet));
}

TEST_F(LogAnalysisTest, ColumnsEqualAFullReplayIncludingLinksToOtherCommands) {
  Load(EngineRecords(400));
  LogBinding binding(log, def);
  ColumnCache cache(binding);
  // The full replay: every record's raw values, then the item's number.
  for (const char* id : {"LOAD", "RPM", "TEMP", "KNOCK", "GEAR"}) {
    const std::vector<float>& column = cache.Column(Item(id));
    ASSERT_EQ(column.size(), log.RecordCount());
    std::vector<float> expected(log.RecordCount());
    ReplayLog(binding, 0, log.RecordCount(), DefinitionItems(def),
              [&](std::size_t r, const BoundPacket& packet) {
                expected[r] = static_cast<float>(ItemNumber(def, Item(id), packet));
              });
    for (std::size_t r = 0; r < column.size(); ++r)
      ASSERT_EQ(column[r], expected[r]) << id << " record " << r;
  }
  // LOAD = MAP byte + (TEMP byte - 40) from the last SLOW record.
  const Bytes p = Bytes(log.Packet(4), log.Packet(4) + 8);
  const Bytes s = Bytes(log.Packet(3), log.Packet(3) + 4);
  EXPECT_FLOAT_EQ(cache.Column(Item("LOAD"))[4], static_cast<float>(p[4] + (s[0] - 40)));
  EXPECT_TRUE(std::isnan(cache.Column(Item("TEMP"))[0]) == false);
}

TEST_F(LogAnalysisTest, StatisticsOverARangeMatchNumbersComputedHere) {
  const std::vector<RawRecord> records = EngineRecords(200);
  Load(records);
  LogBinding binding(log, def);
  const std::vector<ADXObject*> items = {&Item("RPM"), &Item("SPARK"), &Item("TEMP")};
  const TimeRange range{0.5, 2.0};  // records 20 .. 80, both ends included
  const std::vector<ItemStatistics> stats = ComputeStatistics(binding, items, range);

  double rpmMin = 1e300, rpmMax = -1e300, rpmSum = 0, sparkSum = 0, tempSum = 0, above = 0, below = 0;
  std::size_t rpmCount = 0, tempCount = 0;
  double lastTemp = 0, lastTime = 0;
  for (std::size_t i = 20; i <= 80; ++i) {
    const Bytes& b = records[i].payload;
    const double t = records[i].timeMs / 1000.0;
    if (records[i].entryIndex == 0) {
      const double rpm = ((b[2] << 8) | b[3]) * 0.25;
      rpmMin = std::min(rpmMin, rpm);
      rpmMax = std::max(rpmMax, rpm);
      rpmSum += rpm;
      sparkSum += static_cast<std::int8_t>(b[5]) * 0.5;
      ++rpmCount;
    } else {
      if (tempCount > 0 && lastTemp > 100) above += t - lastTime;
      if (tempCount > 0 && lastTemp < -20) below += t - lastTime;
      lastTemp = b[0] - 40.0;
      lastTime = t;
      tempSum += lastTemp;
      ++tempCount;
    }
  }
  EXPECT_EQ(stats[0].count, rpmCount);
  EXPECT_DOUBLE_EQ(stats[0].minimum, rpmMin);
  EXPECT_DOUBLE_EQ(stats[0].maximum, rpmMax);
  EXPECT_NEAR(stats[0].mean, rpmSum / rpmCount, 1e-9);
  EXPECT_NEAR(stats[1].mean, sparkSum / rpmCount, 1e-9);
  EXPECT_EQ(stats[2].count, tempCount);
  EXPECT_NEAR(stats[2].mean, tempSum / tempCount, 1e-9);
  EXPECT_TRUE(stats[2].hasHighAlarm);
  EXPECT_FALSE(stats[0].hasHighAlarm);
  EXPECT_NEAR(stats[2].secondsAboveHigh, above, 1e-9);
  EXPECT_NEAR(stats[2].secondsBelowLow, below, 1e-9);

  // The column form gives the same figures (in 32-bit numbers).
  ColumnCache cache(binding);
  const ItemStatistics fromColumn = StatisticsFromColumn(binding, Item("RPM"), cache.Column(Item("RPM")),
                                                         log.LowerBound(0.5), log.UpperBound(2.0));
  EXPECT_EQ(fromColumn.count, rpmCount);
  EXPECT_NEAR(fromColumn.mean, rpmSum / rpmCount, 1e-3);

  // An empty range counts nothing.
  EXPECT_EQ(ComputeStatistics(binding, items, TimeRange{100.0, 200.0})[0].count, 0u);
}

TEST_F(LogAnalysisTest, StatisticsOfALargeJobSplitAcrossThreadsEqualOneItemAtATime) {
  Load(EngineRecords(60000));
  LogBinding binding(log, def);
  std::vector<ADXObject*> items = DefinitionItems(def);  // LOAD and TEMP share a link
  const std::vector<ItemStatistics> together = ComputeStatistics(binding, items, TimeRange{});
  for (std::size_t i = 0; i < items.size(); ++i) {
    const ItemStatistics alone = ComputeStatistics(binding, {items[i]}, TimeRange{})[0];
    EXPECT_EQ(together[i].count, alone.count) << ItemId(*items[i]);
    EXPECT_EQ(together[i].minimum, alone.minimum) << ItemId(*items[i]);
    EXPECT_EQ(together[i].maximum, alone.maximum) << ItemId(*items[i]);
    EXPECT_EQ(together[i].mean, alone.mean) << ItemId(*items[i]);
  }
}

TEST_F(LogAnalysisTest, DiffFindsChangedRemovedAndAddedItemsOnly) {
  Load(EngineRecords(100));
  ADXDefinition revised;
  BuildEngineDefinition(revised, 1);
  const std::vector<ItemDifference> d = DiffDefinitions(log, def, revised);
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].id, "MAP");
  EXPECT_EQ(d[0].presence, DiffPresence::kBoth);
  EXPECT_EQ(d[0].recordsDiffering, 75u);  // every FAST record
  ASSERT_TRUE(d[0].maxAbsDifference.has_value());
  EXPECT_DOUBLE_EQ(*d[0].maxAbsDifference, 1.0);
  EXPECT_DOUBLE_EQ(d[0].firstTimeSeconds, 0.0);
  EXPECT_EQ(d[1].id, "LOAD");
  EXPECT_EQ(d[1].presence, DiffPresence::kOnlyInA);
  EXPECT_EQ(d[2].id, "BOOST");
  EXPECT_EQ(d[2].presence, DiffPresence::kOnlyInB);

  ADXDefinition same;
  BuildEngineDefinition(same);
  EXPECT_TRUE(DiffDefinitions(log, def, same).empty());
}

TEST_F(LogAnalysisTest, DiffOfTextItemsHasNoNumbers) {
  Load(EngineRecords(40));
  ADXDefinition other;
  BuildEngineDefinition(other);
  static_cast<ADXBitmask*>(other.FindById("KNOCK"))->SetTrueString("KNOCK", 5);
  static_cast<ADXValue*>(other.FindById("GEAR"))->packetoffset = 4;
  const std::vector<ItemDifference> d = DiffDefinitions(log, def, other);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].id, "GEAR");
  EXPECT_FALSE(d[0].maxAbsDifference.has_value());
  EXPECT_EQ(d[1].id, "KNOCK");
  EXPECT_FALSE(d[1].maxAbsDifference.has_value());
  EXPECT_GT(d[1].recordsDiffering, 0u);
}

}  // namespace
