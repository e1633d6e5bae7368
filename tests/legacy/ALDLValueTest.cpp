// The value operations that turn raw numbers into the legacy display.
#include "legacy/ALDLValue.h"

#include <gtest/gtest.h>

#include "legacy/ALDLLookupTable.h"
#include "legacy/AdsMessage.h"

namespace {

ALDLValue MakeValue(uint32_t operation, double factor = 1.0, double offset = 0.0) {
  ALDLValue v;
  v.operation = operation;
  v.factor = factor;
  v.offset = offset;
  return v;
}

}  // namespace

TEST(ALDLValue, LinearAndIntegerOperations) {
  ALDLValue linear = MakeValue(kAldlOpLinear, 0.5, -40.0);
  EXPECT_DOUBLE_EQ(linear.NumericValue(100), 10.0);
  EXPECT_EQ(linear.DisplayText(100), "10.00");
  EXPECT_EQ(linear.DisplayText(3), "-38.50");

  ALDLValue integer = MakeValue(kAldlOpInteger, 0.5, -40.0);
  EXPECT_EQ(integer.DisplayText(3), "-38");  // truncated toward zero
  EXPECT_EQ(integer.DisplayText(101), "10");
  EXPECT_DOUBLE_EQ(integer.NumericValue(101), 10.0);

  // Results beyond the 32-bit range are clamped, not undefined.
  ALDLValue huge = MakeValue(kAldlOpInteger, 1e300, 0.0);
  EXPECT_EQ(huge.DisplayText(255), "2147483647");
  ALDLValue negative = MakeValue(kAldlOpInteger, -1e300, 0.0);
  EXPECT_EQ(negative.DisplayText(255), "-2147483648");
}

TEST(ALDLValue, InverseOperationKeepsTheOffsetForZero) {
  ALDLValue v = MakeValue(kAldlOpInverse, 1000.0, 5.0);
  EXPECT_DOUBLE_EQ(v.NumericValue(0), 5.0);
  EXPECT_EQ(v.DisplayText(0), "5.00");
  EXPECT_EQ(v.DisplayText(8), "130.00");
}

TEST(ALDLValue, HexadecimalCharacterAndPercentOperations) {
  ALDLValue hex = MakeValue(kAldlOpHexadecimal, 3.0, 7.0);
  hex.sizeInBits = 16;
  EXPECT_EQ(hex.DisplayText(0xBEEF), "BEEF");
  EXPECT_EQ(hex.DisplayText(0), "0");

  ALDLValue character = MakeValue(kAldlOpCharacter);
  EXPECT_EQ(character.DisplayText('A'), "A");
  EXPECT_EQ(character.DisplayText(0), "?");
  character.sizeInBits = 16;
  EXPECT_EQ(character.DisplayText(0x0100), "?");  // a zero low byte never ends the text

  ALDLValue percent = MakeValue(kAldlOpPercent);
  percent.rangeLow = 50;
  percent.rangeHigh = 150;
  EXPECT_EQ(percent.DisplayText(100), "50.00");
  EXPECT_EQ(percent.DisplayText(25), "-25.00");
  // An empty range shows 0 instead of dividing by zero.
  percent.rangeHigh = 50;
  EXPECT_EQ(percent.DisplayText(100), "0.00");
}

TEST(ALDLValue, LookupOperationReadsTheLinkedTable) {
  ALDLLookupTable table;
  table.tableSize = 4;
  table.entrySize = 4;
  AdsMessageLog log;
  table.ReadData("0, -40\n3, 20\n", 1, log);
  ALDLValue v = MakeValue(kAldlOpLookup, 9.0, 9.0);
  EXPECT_EQ(v.DisplayText(1), "0.00");  // no table linked yet
  v.lookupTable = &table;
  // Entry i answers raw i + 1, as the converted ADX table does; a raw 0
  // takes the first entry.
  EXPECT_EQ(v.DisplayText(1), "-40.00");
  EXPECT_EQ(v.DisplayText(0), "-40.00");
  EXPECT_EQ(v.DisplayText(3), "0.00");  // interpolated between entries 0 and 3
  EXPECT_EQ(v.DisplayText(4), "20.00");
  EXPECT_EQ(v.DisplayText(200), "0.00");  // beyond the table
}

TEST(ALDLValue, RawNumbersFollowTheItemSize) {
  ALDLValue v = MakeValue(kAldlOpLinear);
  v.sizeInBits = 8;
  EXPECT_EQ(v.EffectiveRaw(0x1234), 0x34u);
  v.sizeInBits = 1;
  EXPECT_EQ(v.EffectiveRaw(3), 1u);
  v.sizeInBits = 16;
  EXPECT_EQ(v.EffectiveRaw(0x12345), 0x2345u);
  v.sizeInBits = 24;
  EXPECT_EQ(v.EffectiveRaw(0x12345678), 0x345678u);
  v.sizeInBits = 32;
  EXPECT_EQ(v.EffectiveRaw(0xFFFFFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(v.DisplayText(0xFFFFFFFF), "4294967295.00");
  for (uint32_t size : {0u, 4u, 12u, 33u}) {
    v.sizeInBits = size;
    EXPECT_EQ(v.DisplayText(77), "0.00") << size;
  }
}

TEST(ALDLValue, UnknownOperationShowsTheRawNumber) {
  ALDLValue v = MakeValue(42, 2.0, 1.0);
  EXPECT_EQ(v.DisplayText(12), "12.00");
}
