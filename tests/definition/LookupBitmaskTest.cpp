// Lookup tables (insertion, the four modes, text output, formatting) and
// bitmask evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "definition/ADXBitmask.h"
#include "definition/ADXDecodeFlags.h"
#include "definition/ADXLookupTable.h"

namespace {

// Inputs 0, 10, 20 with outputs 0, 100, 400.
void Fill(ADXLookupTable& t, std::int32_t mode) {
  t.AddEntry(20.0f, 400.0f);  // out of order on purpose: entries sort by input
  t.AddEntry(0.0f, 0.0f);
  t.AddEntry(10.0f, 100.0f);
  t.SetLookupMode(mode);
}

}  // namespace

TEST(LookupTable, InsertKeepsInputsSortedAndReplacesEqualInputs) {
  ADXLookupTable t;
  Fill(t, kLookupInterpolate);
  ASSERT_EQ(t.EntryCount(), 3);
  float in = 0, out = 0;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(t.GetTableEntry(i, &in, &out), 1);
    EXPECT_EQ(in, 10.0f * static_cast<float>(i));
  }
  EXPECT_EQ(t.AddEntry(10.0f, 150.0f), 1);
  EXPECT_EQ(t.EntryCount(), 3);
  t.GetTableEntry(1, &in, &out);
  EXPECT_EQ(out, 150.0f);
  EXPECT_EQ(t.GetTableEntry(3, &in, &out), 0);
  EXPECT_EQ(t.GetTableEntry(-1, &in, &out), 0);

  EXPECT_EQ(t.RemoveInput(10.5f), 0);
  EXPECT_EQ(t.RemoveInput(10.0f), 1);
  EXPECT_EQ(t.EntryCount(), 2);
  t.ClearEntries();
  EXPECT_EQ(t.EntryCount(), 0);
}

TEST(LookupTable, Interpolate) {
  ADXLookupTable t;
  Fill(t, kLookupInterpolate);
  EXPECT_FLOAT_EQ(t.LookupNumber(5.0f), 50.0f);
  EXPECT_FLOAT_EQ(t.LookupNumber(15.0f), 250.0f);
  EXPECT_FLOAT_EQ(t.LookupNumber(-3.0f), 0.0f);
  EXPECT_FLOAT_EQ(t.LookupNumber(25.0f), 400.0f);
  EXPECT_FLOAT_EQ(t.LookupNumber(10.0f), 100.0f);
}

TEST(LookupTable, ClosestPreviousNext) {
  ADXLookupTable closest;
  Fill(closest, kLookupClosest);
  EXPECT_FLOAT_EQ(closest.LookupNumber(5.0f), 100.0f);  // a tie goes to the next entry
  EXPECT_FLOAT_EQ(closest.LookupNumber(4.9f), 0.0f);
  ADXLookupTable previous;
  Fill(previous, kLookupPrevious);
  EXPECT_FLOAT_EQ(previous.LookupNumber(19.0f), 100.0f);
  EXPECT_FLOAT_EQ(previous.LookupNumber(20.0f), 400.0f);
  EXPECT_FLOAT_EQ(previous.LookupNumber(-1.0f), 0.0f);
  ADXLookupTable next;
  Fill(next, kLookupNext);
  EXPECT_FLOAT_EQ(next.LookupNumber(11.0f), 400.0f);
  EXPECT_FLOAT_EQ(next.LookupNumber(99.0f), 400.0f);
  ADXLookupTable unknown;
  Fill(unknown, 7);
  EXPECT_FLOAT_EQ(unknown.LookupNumber(5.0f), 0.0f);
  EXPECT_FLOAT_EQ(unknown.LookupNumber(10.0f), 100.0f);  // exact inputs select in any mode
}

TEST(LookupTable, OneEntryAndEmptyTables) {
  ADXLookupTable one;
  one.AddEntry(5.0f, 7.0f);
  for (float x : {-1.0f, 3.0f, 5.0f, 9.0f}) EXPECT_FLOAT_EQ(one.LookupNumber(x), 7.0f) << x;

  ADXLookupTable empty;
  float out = 123.0f;
  EXPECT_EQ(empty.Lookup(1.0f, &out, sizeof(out)), 0);
  EXPECT_EQ(out, 123.0f);
  EXPECT_EQ(one.Lookup(1.0f, nullptr, 4), 0);
  EXPECT_EQ(one.Lookup(1.0f, &out, 2), 0);  // no room for a float
}

TEST(LookupTable, NanAndInfinityStayInsideTheTable) {
  ADXLookupTable t;
  Fill(t, kLookupInterpolate);
  EXPECT_FLOAT_EQ(t.LookupNumber(std::numeric_limits<float>::quiet_NaN()), 0.0f);
  EXPECT_FLOAT_EQ(t.LookupNumber(std::numeric_limits<float>::infinity()), 400.0f);
  EXPECT_FLOAT_EQ(t.LookupNumber(-std::numeric_limits<float>::infinity()), 0.0f);
}

TEST(LookupTable, TextOutput) {
  ADXLookupTable t;
  t.AddEntry(1.0f, 1.5f);
  t.AddEntry(2.0f, 2.0f);
  t.SetOutputType(kLookupText);
  EXPECT_EQ(t.lookupmode, kLookupClosest);
  char buf[32];
  float in = 0;
  ASSERT_EQ(t.GetTableEntryText(0, &in, buf, sizeof(buf)), 1);
  EXPECT_STREQ(buf, "1.500000");
  t.GetTableEntryText(1, &in, buf, sizeof(buf));
  EXPECT_STREQ(buf, "2.000000");
  t.SetLookupMode(kLookupInterpolate);
  EXPECT_EQ(t.lookupmode, kLookupClosest);

  EXPECT_EQ(t.AddEntry(3.0f, nullptr, 4), -1);
  EXPECT_EQ(t.AddEntry(3.0f, "High", 4), 2);
  EXPECT_EQ(t.LookupText(2.9f, buf, sizeof(buf)), 4);
  EXPECT_STREQ(buf, "High");
  char small[3];
  EXPECT_EQ(t.LookupText(2.9f, small, sizeof(small)), 4);  // full length, cut copy
  EXPECT_STREQ(small, "Hi");
  EXPECT_EQ(t.LookupNumber(2.9f), 0.0f);

  double number = -1.0;
  EXPECT_EQ(t.LookupFormat(1.1f, buf, sizeof(buf), &number, 2), 8);
  EXPECT_STREQ(buf, "1.500000");
  EXPECT_EQ(number, -1.0);  // text tables leave the number alone

  // Back to numbers: texts go, outputs are 0.
  t.SetOutputType(kLookupFloat);
  float out = 9;
  t.GetTableEntry(2, &in, &out);
  EXPECT_EQ(out, 0.0f);
  EXPECT_TRUE(t.entries[2].text.empty());
  ADXLookupTable numeric;
  EXPECT_EQ(numeric.LookupText(1.0f, buf, sizeof(buf)), 0);
}

TEST(LookupTable, FormatByOutputType) {
  ADXLookupTable t;
  Fill(t, kLookupInterpolate);
  char buf[32];
  double n = 0;
  EXPECT_EQ(t.LookupFormat(15.0f, buf, sizeof(buf), &n, 1), 5);
  EXPECT_STREQ(buf, "250.0");
  EXPECT_EQ(n, 250.0);
  t.outputtype = kLookupHex;
  t.LookupFormat(0.5f, buf, sizeof(buf), &n, 1);
  EXPECT_STREQ(buf, "0x05");
  t.outputtype = kLookupInteger;
  t.LookupFormat(15.0f, buf, sizeof(buf), &n, 1);
  EXPECT_STREQ(buf, "250");
  t.outputtype = 2;  // not a table output type
  EXPECT_EQ(t.LookupFormat(15.0f, buf, sizeof(buf), &n, 1), 0);
  EXPECT_STREQ(buf, "");
}

TEST(Bitmask, AndXorAndUnknownOperations) {
  ADXBitmask b;
  b.operand = 0x80;
  b.result = 0x80;
  const std::uint8_t c1[] = {0xC1};
  const std::uint8_t x41[] = {0x41};
  EXPECT_EQ(b.TestBits(c1, 1, 0, 0), 1);
  EXPECT_EQ(b.TestBits(x41, 1, 0, 0), 0);

  b.bitop = kBitopXor;
  b.operand = 0xFF;
  b.result = 0x00;
  const std::uint8_t ff[] = {0xFF};
  EXPECT_EQ(b.TestBits(ff, 1, 0, 0), 1);
  EXPECT_EQ(b.TestBits(c1, 1, 0, 0), 0);

  b.bitop = 2;
  b.SetTrueString("ON", 2);
  b.SetFalseString("OFF", 3);
  char buf[8];
  EXPECT_EQ(b.TestBitsText(buf, sizeof(buf), nullptr, ff, 1, 0, 0), 0);
  EXPECT_STREQ(buf, "OFF");
  b.bitop = kBitopXor;
  EXPECT_EQ(b.TestBitsText(buf, sizeof(buf), nullptr, ff, 1, 0, 0), 1);
  EXPECT_STREQ(buf, "ON");
}

TEST(Bitmask, RawFieldsAndPacketBounds) {
  ADXBitmask b;
  b.sizeinbits = 16;
  b.packetoffset = 1;
  const std::uint8_t p[] = {0x00, 0x12, 0x34};
  EXPECT_EQ(b.ExtractRaw(p, 3, 0, 0), 0x1234u);
  EXPECT_EQ(b.ExtractRaw(p, 3, 0, kDecodeNoSwap), 0x3412u);
  b.flags = kBitmaskLsbFirst;
  EXPECT_EQ(b.ExtractRaw(p, 3, 0, 0), 0x3412u);
  EXPECT_EQ(b.ExtractRaw(p, 3, 0, kDecodeAtOffset), 0x1200u);
  EXPECT_EQ(b.ExtractRaw(p, 2, 0, 0), 0x1200u);  // past the end: last raw kept
  EXPECT_EQ(b.ExtractRaw(nullptr, 0, 0, 0), 0x1200u);
  b.result = 0x1200;
  b.operand = 0xFFFF;
  EXPECT_EQ(b.TestBits(nullptr, 0, 0, 0), 1);
}

TEST(LookupTable, LargeTablesLoadInAscendingOrder) {
  // A loader adds tens of thousands of entries in ascending order; each must
  // land at the end without a walk over the whole table.
  ADXLookupTable t;
  for (int i = 0; i < 50000; ++i) ASSERT_EQ(t.AddEntry(static_cast<float>(i), static_cast<float>(2 * i)), i);
  EXPECT_EQ(t.AddEntry(2.5f, 1.0f), 3);  // and still sorts a stray one in
  EXPECT_EQ(t.AddEntry(2.5f, 7.0f), 3);
  EXPECT_EQ(t.EntryCount(), 50001);
  EXPECT_FLOAT_EQ(t.LookupNumber(2.5f), 7.0f);
  EXPECT_FLOAT_EQ(t.LookupNumber(40000.5f), 80001.0f);
}
