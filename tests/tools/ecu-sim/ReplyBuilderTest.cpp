// Replies with moving values: the field generators, how values are stored,
// flag bits, and the checksum byte.

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "tools/ecu-sim/ReplyBuilder.h"

namespace {

DynamicField field(FieldShape shape, double lo, double hi, double periodMs = 1000.0, double phase = 0.0) {
  DynamicField f;
  f.shape = shape;
  f.minimum = lo;
  f.maximum = hi;
  f.periodMs = periodMs;
  f.phase = phase;
  return f;
}

TEST(FieldGenerators, ShapesOverOnePeriod) {
  DynamicField ramp = field(FieldShape::Ramp, 100, 200);
  EXPECT_DOUBLE_EQ(fieldValueAt(ramp, 0.0), 100);
  EXPECT_DOUBLE_EQ(fieldValueAt(ramp, 0.25), 125);
  EXPECT_DOUBLE_EQ(fieldValueAt(ramp, 1.5), 150);  // the next period starts over

  DynamicField triangle = field(FieldShape::Triangle, 0, 100);
  EXPECT_DOUBLE_EQ(fieldValueAt(triangle, 0.25), 50);
  EXPECT_DOUBLE_EQ(fieldValueAt(triangle, 0.5), 100);
  EXPECT_DOUBLE_EQ(fieldValueAt(triangle, 0.75), 50);

  DynamicField sine = field(FieldShape::Sine, 0, 100);
  EXPECT_NEAR(fieldValueAt(sine, 0.0), 50, 1e-9);
  EXPECT_NEAR(fieldValueAt(sine, 0.25), 100, 1e-9);
  EXPECT_NEAR(fieldValueAt(sine, 0.75), 0, 1e-9);

  DynamicField step = field(FieldShape::Step, 3, 9, 2000);
  EXPECT_DOUBLE_EQ(fieldValueAt(step, 0.9), 3);
  EXPECT_DOUBLE_EQ(fieldValueAt(step, 1.1), 9);

  // A phase shifts the wave: half a period turns the sine upside down.
  DynamicField shifted = field(FieldShape::Sine, 0, 100, 1000, 0.5);
  EXPECT_NEAR(fieldValueAt(shifted, 0.25), 0, 1e-9);

  EXPECT_DOUBLE_EQ(fieldValueAt(field(FieldShape::Constant, 7, 9), 123.4), 7);
  // A period so short that the time overflows holds the start value.
  EXPECT_DOUBLE_EQ(fieldValueAt(field(FieldShape::Ramp, 5, 9, 1e-310), 1e10), 5);
}

TEST(FieldGenerators, StoredRoundedClampedAndInByteOrder) {
  std::uint8_t reply[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  DynamicField f = field(FieldShape::Constant, 0, 16777215);
  f.offset = 1;
  f.size = 3;
  writeFieldValue(f, 0x012345 + 0.4, reply);
  EXPECT_EQ(reply[0], 0xEE);
  EXPECT_EQ(reply[1], 0x01);
  EXPECT_EQ(reply[2], 0x23);
  EXPECT_EQ(reply[3], 0x45);
  EXPECT_EQ(reply[4], 0xEE);
  f.bigEndian = false;
  f.size = 2;
  writeFieldValue(f, 0x1234 + 0.6, reply);
  EXPECT_EQ(reply[1], 0x35);
  EXPECT_EQ(reply[2], 0x12);
  writeFieldValue(f, 1e9, reply);  // held at the upper limit
  EXPECT_EQ(reply[1] | reply[2] << 8, 65535);
  writeFieldValue(f, std::nan(""), reply);  // never undefined: the lower limit
  EXPECT_EQ(reply[1] | reply[2] << 8, 0);
}

TEST(FieldGenerators, FlagsFollowDutyAndPhase) {
  FlagBits flag;
  flag.periodMs = 1000;
  flag.duty = 0.3;
  EXPECT_TRUE(flagSetAt(flag, 0.0));
  EXPECT_TRUE(flagSetAt(flag, 0.29));
  EXPECT_FALSE(flagSetAt(flag, 0.31));
  EXPECT_TRUE(flagSetAt(flag, 1.1));
  flag.phase = 0.8;  // on from 0.2 s to 0.5 s
  EXPECT_FALSE(flagSetAt(flag, 0.1));
  EXPECT_TRUE(flagSetAt(flag, 0.3));
  flag.duty = 1.0;
  EXPECT_TRUE(flagSetAt(flag, 0.77));
}

EcuScenario walkScenario(std::uint32_t seed) {
  EcuScenario s;
  s.seed = seed;
  Exchange& e = s.addExchange("walk", {0x01}, EcuBytes{0xAA, 0x00, 0x00, 0x0F}, true);
  DynamicField walk = field(FieldShape::RandomWalk, 40, 60, 1000);
  walk.offset = 1;
  e.fields.push_back(walk);
  DynamicField ramp = field(FieldShape::Ramp, 0, 255, 256000);
  ramp.offset = 2;
  e.fields.push_back(ramp);
  FlagBits flag;
  flag.offset = 3;
  flag.mask = 0x80;
  flag.periodMs = 1000;
  e.flags.push_back(flag);
  return s;
}

TEST(ReplyBuilder, FieldsFlagsAndChecksumTogether) {
  EcuScenario s = walkScenario(7);
  ReplyBuilder builder(s);
  EcuBytes early = builder.build(0, 0.2);
  ASSERT_EQ(early.size(), 5u);
  EXPECT_EQ(early[0], 0xAA);
  EXPECT_EQ(early[1], 50);    // a walk starts in the middle
  EXPECT_EQ(early[3], 0x8F);  // the flag bit is on, the other bits stay
  EXPECT_EQ(std::accumulate(early.begin(), early.end(), 0u) & 0xFF, 0u);
  EcuBytes late = builder.build(0, 10.7);
  EXPECT_EQ(late[2], 11);    // 10.7 s of a ramp of 1 per second, rounded
  EXPECT_EQ(late[3], 0x0F);  // the flag bit is off
  EXPECT_EQ(std::accumulate(late.begin(), late.end(), 0u) & 0xFF, 0u);
}

TEST(ReplyBuilder, RandomWalkMovesWithinLimitsAndRepeatsWithItsSeed) {
  EcuScenario s = walkScenario(1234);
  ReplyBuilder a(s), b(s);
  EcuScenario other = walkScenario(99);
  ReplyBuilder c(other);
  int distinct = 0, differsFromOtherSeed = 0, last = -1;
  for (int i = 0; i < 2000; ++i) {
    double t = i * 0.05;
    int va = a.build(0, t)[1], vb = b.build(0, t)[1], vc = c.build(0, t)[1];
    ASSERT_GE(va, 40);
    ASSERT_LE(va, 60);
    ASSERT_EQ(va, vb);
    if (va != last) ++distinct;
    if (va != vc) ++differsFromOtherSeed;
    // One step of 50 ms may move at most 5 % of the range (plus rounding).
    if (last >= 0) {
      EXPECT_LE(std::abs(va - last), 2);
    }
    last = va;
  }
  EXPECT_GT(distinct, 100);
  EXPECT_GT(differsFromOtherSeed, 100);
}

TEST(ReplyBuilder, ChecksumByte) {
  const std::uint8_t none[1] = {0};
  EXPECT_EQ(aldlChecksum(none, 0), 0);
  const std::uint8_t request[4] = {0xF4, 0x57, 0x01, 0x00};
  EXPECT_EQ(aldlChecksum(request, 4), 0xB4);
  const std::uint8_t wraps[3] = {0xFF, 0xFF, 0x02};
  EXPECT_EQ(aldlChecksum(wraps, 3), 0x00);
}

}  // namespace
