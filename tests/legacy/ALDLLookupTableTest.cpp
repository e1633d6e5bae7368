// Lookup-table data: storage, marks, interpolation and bounds.
#include "legacy/ALDLLookupTable.h"

#include <gtest/gtest.h>

#include <string>

#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"
#include "tests/legacy/AdsTestText.h"

namespace {

ALDLLookupTable MakeTable(uint8_t dataType, uint16_t size, uint16_t entrySize) {
  ALDLLookupTable t;
  t.dataType = dataType;
  t.tableSize = size;
  t.entrySize = entrySize;
  t.name = "T";
  return t;
}

}  // namespace

TEST(ALDLLookupTable, FloatGapsAreInterpolatedButOnlyGivenEntriesMarked) {
  ALDLLookupTable t = MakeTable(kAldlTableFloat, 10, 4);
  AdsMessageLog log;
  t.ReadData("0, 0.0\n\t\t\t\t 4, 4.0\n", 1, log);
  ASSERT_EQ(t.EntryCount(), 10u);
  for (int i = 0; i <= 4; ++i) EXPECT_FLOAT_EQ(t.EntryValue(i), float(i)) << i;
  EXPECT_TRUE(t.IsGiven(0));
  EXPECT_FALSE(t.IsGiven(1));
  EXPECT_FALSE(t.IsGiven(2));
  EXPECT_FALSE(t.IsGiven(3));
  EXPECT_TRUE(t.IsGiven(4));
  EXPECT_FALSE(t.IsGiven(5));
  EXPECT_EQ(t.EntryValue(5), 0.0);
  EXPECT_TRUE(log.Empty());
}

TEST(ALDLLookupTable, InterpolationStartsAtEntryZeroAndNeverOverwritesGivenEntries) {
  ALDLLookupTable t = MakeTable(kAldlTableFloat, 16, 4);
  AdsMessageLog log;
  // The first line counts from entry 0 (still 0). "2" lies below 8 and
  // fills nothing; "10" then interpolates from 2 but keeps the given 8.
  t.ReadData("4, 8\n8, 0\n2, 20\n10, 0\n", 1, log);
  EXPECT_FLOAT_EQ(t.EntryValue(1), 2.0f);
  EXPECT_FLOAT_EQ(t.EntryValue(2), 20.0f);
  EXPECT_FLOAT_EQ(t.EntryValue(3), 17.5f);
  EXPECT_FLOAT_EQ(t.EntryValue(4), 8.0f);
  EXPECT_FLOAT_EQ(t.EntryValue(6), 10.0f);
  EXPECT_FLOAT_EQ(t.EntryValue(8), 0.0f);
  EXPECT_FLOAT_EQ(t.EntryValue(9), 2.5f);
  EXPECT_FALSE(t.IsGiven(0));
  EXPECT_FALSE(t.IsGiven(3));
  EXPECT_TRUE(t.IsGiven(8));
}

TEST(ALDLLookupTable, IntegerGapsStayZeroAndUnmarked) {
  ALDLLookupTable t = MakeTable(kAldlTableInteger, 8, 2);
  AdsMessageLog log;
  t.ReadData("0, 100\n5, 600\n7, -3\n3, 70000\n", 1, log);
  EXPECT_EQ(t.EntryValue(0), 100.0);
  for (int i : {1, 2, 4, 6}) {
    EXPECT_EQ(t.EntryValue(i), 0.0) << i;
    EXPECT_FALSE(t.IsGiven(i)) << i;
  }
  EXPECT_EQ(t.EntryValue(5), 600.0);
  // Two-byte integer entries are unsigned: numbers outside are clamped.
  EXPECT_EQ(t.EntryValue(7), 0.0);
  EXPECT_EQ(t.EntryValue(3), 65535.0);
  EXPECT_TRUE(t.IsGiven(7));
}

TEST(ALDLLookupTable, IntegerEntryWidths) {
  ALDLLookupTable one = MakeTable(kAldlTableInteger, 4, 1);
  one.SizeStorage();
  EXPECT_TRUE(one.StoreEntry(1, 300));
  EXPECT_EQ(one.EntryValue(1), 255.0);
  EXPECT_EQ(one.Storage().size(), 4u);

  ALDLLookupTable four = MakeTable(kAldlTableInteger, 4, 4);
  four.SizeStorage();
  EXPECT_TRUE(four.StoreEntry(3, -123456));
  EXPECT_EQ(four.EntryValue(3), -123456.0);
  EXPECT_TRUE(four.StoreEntry(2, 12.9));
  EXPECT_EQ(four.EntryValue(2), 12.0);

  // An eight-byte entry keeps its number in the first four bytes.
  ALDLLookupTable eight = MakeTable(kAldlTableInteger, 2, 8);
  eight.SizeStorage();
  EXPECT_TRUE(eight.StoreEntry(1, 0x01020304));
  EXPECT_EQ(eight.EntryValue(1), double(0x01020304));
  EXPECT_EQ(eight.Storage()[8], 0x04);
  EXPECT_EQ(eight.Storage()[12], 0x00);
}

TEST(ALDLLookupTable, LinesOutsideTheTableOrMalformedAreIgnoredWithTheirLine) {
  ALDLLookupTable t = MakeTable(kAldlTableFloat, 4, 4);
  AdsMessageLog log;
  t.ReadData("1, 1.5\n4, 9\n-1, 2\nnonsense\n\n  2 ,  2.5  \n3, abc\n", 20, log);
  EXPECT_FLOAT_EQ(t.EntryValue(1), 1.5f);
  EXPECT_FLOAT_EQ(t.EntryValue(2), 2.5f);
  EXPECT_EQ(t.EntryValue(3), 0.0);
  EXPECT_TRUE(t.IsGiven(3));
  ASSERT_EQ(log.Messages().size(), 4u);
  EXPECT_EQ(log.Messages()[0].line, 21);
  EXPECT_NE(log.Messages()[0].text.find("entry 4 is outside the table of 4 entries"), std::string::npos);
  EXPECT_EQ(log.Messages()[1].line, 22);
  EXPECT_EQ(log.Messages()[2].line, 23);
  EXPECT_NE(log.Messages()[2].text.find("is not \"index, value\""), std::string::npos);
  EXPECT_EQ(log.Messages()[3].line, 26);
  EXPECT_NE(log.Messages()[3].text.find("entry 3 has no number"), std::string::npos);
}

TEST(ALDLLookupTable, StorageStaysInBoundsWhateverTheEntrySize) {
  // Float entries need four bytes: smaller entries mark lines but store nothing.
  for (uint16_t size : {0, 1, 2, 3}) {
    ALDLLookupTable t = MakeTable(kAldlTableFloat, 6, size);
    AdsMessageLog log;
    t.ReadData("0, 1\n5, 6\n", 1, log);
    EXPECT_EQ(t.Storage().size(), 6u * size);
    EXPECT_TRUE(t.IsGiven(5));
    EXPECT_EQ(t.EntryValue(5), 0.0);
    EXPECT_FALSE(log.Empty());
  }
  ALDLLookupTable t = MakeTable(kAldlTableFloat, 3, 4);
  t.SizeStorage();
  EXPECT_FALSE(t.StoreEntry(3, 1.0));
  EXPECT_FALSE(t.StoreEntry(size_t(-1), 1.0));
  EXPECT_EQ(t.EntryValue(1000000), 0.0);
  EXPECT_FALSE(t.IsGiven(3));

  // Other data types keep 0 entries but mark the given lines.
  ALDLLookupTable other = MakeTable(7, 3, 4);
  AdsMessageLog log;
  other.ReadData("1, 5\n", 1, log);
  EXPECT_TRUE(other.IsGiven(1));
  EXPECT_EQ(other.EntryValue(1), 0.0);
}

TEST(ALDLLookupTable, HugeSizesFromAFileAreCappedAndTheFileStillRead) {
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(adstest::Header() + adstest::Table(1, "Huge", 2, 1000000, 65535, "0, 1\n65534, 2") +
                  adstest::Value(2, "After"),
              d, &log);
  ASSERT_EQ(d.tables.size(), 1u);
  const ALDLLookupTable& t = *d.tables[0];
  EXPECT_EQ(t.tableSize, 65535);
  EXPECT_EQ(t.entrySize, ALDLLookupTable::kMaxEntrySize);
  EXPECT_EQ(t.Storage().size(), 65535u * ALDLLookupTable::kMaxEntrySize);
  EXPECT_FLOAT_EQ(t.EntryValue(65534), 2.0f);
  EXPECT_NEAR(t.EntryValue(32767), 1.5, 1e-4);
  ASSERT_EQ(d.values.size(), 1u);
  bool capped = false;
  for (const AdsMessage& m : log.Messages()) capped |= m.text.find("capped at 8 bytes") != std::string::npos;
  EXPECT_TRUE(capped);
}

TEST(ALDLLookupTable, DataFieldIsCutAtItsLimitAndTheRecordContinues) {
  std::string data;
  int lines = 0;
  while (data.size() < 12000) data += std::to_string(lines++ % 200) + ", 1\n";
  ALDLDefinition d;
  AdsMessageLog log;
  ReadAdsText(adstest::Header() + adstest::Table(1, "Long", 2, 256, 4, data) + adstest::Bit(2, "Next"), d,
              &log);
  ASSERT_EQ(d.tables.size(), 1u);
  ASSERT_EQ(d.bits.size(), 1u);
  bool cut = false;
  for (const AdsMessage& m : log.Messages()) cut |= m.text.find("cut to 10239") != std::string::npos;
  EXPECT_TRUE(cut);
}
