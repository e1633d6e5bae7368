// Masks, packing and expansion of payloads, and the fixed-size blocks.
#include <gtest/gtest.h>

#include "datalog/XdlEntry.h"
#include "datalog/XdlFormat.h"
#include "tests/datalog/XdlTestSupport.h"

using xdltest::Bytes;

namespace {

XdlEntry MakeEntry(std::uint32_t stored, std::uint32_t full, XdlMask mask) {
  XdlEntry e;
  e.storedSize = stored;
  e.fullSize = full;
  e.mask = std::move(mask);
  return e;
}

TEST(XdlMaskTest, BitsBeyondTheMaskCountAsSet) {
  XdlMask mask = XdlMask::FromBytes(Bytes{0x05}.data(), 1);  // bits 0 and 2 of 8
  EXPECT_TRUE(mask.IsStored(0));
  EXPECT_FALSE(mask.IsStored(1));
  EXPECT_TRUE(mask.IsStored(2));
  EXPECT_FALSE(mask.IsStored(7));
  EXPECT_TRUE(mask.IsStored(8));
  EXPECT_TRUE(mask.IsStored(100000));
  EXPECT_TRUE(XdlMask().IsStored(0));  // no mask at all stores every byte
}

TEST(XdlMaskTest, WireLengthAndPartialLastByte) {
  EXPECT_EQ(XdlMask().WireLength(), 0u);
  XdlMask ones = XdlMask::AllSet(120);
  EXPECT_EQ(ones.WireLength(), 15u);
  EXPECT_EQ(ones.Bytes(), Bytes(15, 0xFF));
  XdlMask odd = XdlMask::AllSet(10);
  EXPECT_EQ(odd.WireLength(), 2u);
  EXPECT_EQ(odd.Bytes(), (Bytes{0xFF, 0x03}));
  // Growing a mask keeps the new positions set, as they were before.
  XdlMask grown;
  EXPECT_TRUE(grown.SetBit(9, false));
  EXPECT_EQ(grown.Bytes(), (Bytes{0xFF, 0x01}));
  EXPECT_FALSE(grown.SetBit(kXdlMaxMaskBits, false));
}

TEST(XdlPayloadTest, PackTakesMaskedBytesAndZeroFillsTheRest) {
  XdlMask mask = XdlMask::FromBytes(Bytes{0x0D}.data(), 1);  // positions 0, 2, 3
  XdlEntry e = MakeEntry(4, 8, mask);
  Bytes packet{10, 11, 12, 13, 14, 15, 16, 17};
  Bytes payload(4, 0xEE);
  // Positions 0, 2, 3 from the mask, then 8+ are beyond it, but only 4 packet
  // bytes are given: 10, 12, 13 and then nothing more.
  EXPECT_EQ(XdlPackPacket(e, packet.data(), 4, payload.data()), 3u);
  EXPECT_EQ(payload, (Bytes{10, 12, 13, 0}));
  EXPECT_EQ(XdlPackPacket(e, packet.data(), 8, payload.data()), 3u);
  EXPECT_EQ(payload, (Bytes{10, 12, 13, 0}));  // positions 4..7 are masked out
  Bytes longer{1, 2, 3, 4, 5, 6, 7, 8, 9, 20};
  EXPECT_EQ(XdlPackPacket(e, longer.data(), longer.size(), payload.data()), 4u);
  EXPECT_EQ(payload, (Bytes{1, 3, 4, 9}));  // position 8 lies beyond the mask
  EXPECT_EQ(XdlPackPacket(e, nullptr, 8, payload.data()), 0u);
  EXPECT_EQ(payload, Bytes(4, 0));
}

TEST(XdlPayloadTest, ExpandFillsMaskedPositionsAndZeroesTheRest) {
  XdlMask mask = XdlMask::FromBytes(Bytes{0x0D}.data(), 1);
  XdlEntry e = MakeEntry(4, 10, mask);
  Bytes payload{1, 3, 4, 9};
  Bytes packet(10, 0xEE);
  EXPECT_EQ(XdlExpandPayload(e, payload.data(), payload.size(), packet.data(), packet.size()), 10u);
  EXPECT_EQ(packet, (Bytes{1, 0, 3, 4, 0, 0, 0, 0, 9, 0}));
  // A short payload stops the expansion; the rest stays zero.
  std::fill(packet.begin(), packet.end(), 0xEE);
  XdlExpandPayload(e, payload.data(), 2, packet.data(), packet.size());
  EXPECT_EQ(packet, (Bytes{1, 0, 3, 0, 0, 0, 0, 0, 0, 0}));
  // A packet buffer smaller than fullSize is never overrun.
  Bytes small(3, 0xEE);
  EXPECT_EQ(XdlExpandPayload(e, payload.data(), payload.size(), small.data(), small.size()), 3u);
  EXPECT_EQ(small, (Bytes{1, 0, 3}));
  // Empty mask: every byte is stored, payload longer than the packet is cut.
  XdlEntry plain = MakeEntry(6, 4, XdlMask());
  Bytes six{1, 2, 3, 4, 5, 6};
  Bytes four(4, 0);
  XdlExpandPayload(plain, six.data(), six.size(), four.data(), four.size());
  EXPECT_EQ(four, (Bytes{1, 2, 3, 4}));
}

TEST(XdlPayloadTest, PackThenExpandRestoresMaskedPacket) {
  XdlMask mask = XdlMask::FromBytes(Bytes{0xB6, 0x01}.data(), 2);
  XdlEntry e = MakeEntry(6, 12, mask);
  Bytes packet{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  Bytes payload(6);
  XdlPackPacket(e, packet.data(), packet.size(), payload.data());
  Bytes back(12);
  XdlExpandPayload(e, payload.data(), payload.size(), back.data(), back.size());
  for (std::uint32_t i = 0; i < 12; ++i) {
    if (e.mask.IsStored(i) && i < 9) {
      EXPECT_EQ(back[i], packet[i]) << i;
    }
  }
  EXPECT_EQ(back[0], 0);  // bit 0 of 0xB6 is clear
}

TEST(XdlBlocksTest, HeaderAndRecordHeadRoundTripLittleEndian) {
  XdlHeader h;
  h.version = 3;
  h.dataOffset = 0x01020304;
  h.endOffset = 0xFFFFFFFF;
  h.startTime = {2026, 12, 2, 8, 23, 59, 58, 999};
  h.recordCount = 0x0A0B0C0D;
  std::uint8_t block[kXdlHeaderSize];
  EncodeXdlHeader(h, block);
  xdltest::ByteBuilder expected;
  expected.U32(3)
      .U32(0x01020304)
      .U32(0xFFFFFFFF)
      .U16(2026)
      .U16(12)
      .U16(2)
      .U16(8)
      .U16(23)
      .U16(59)
      .U16(58)
      .U16(999);
  expected.Zeros(8).U32(0x0A0B0C0D);
  EXPECT_EQ(Bytes(block, block + kXdlHeaderSize), expected.bytes);
  XdlHeader back = DecodeXdlHeader(block);
  EXPECT_EQ(back.dataOffset, h.dataOffset);
  EXPECT_EQ(back.startTime.millisecond, 999);
  EXPECT_EQ(back.recordCount, h.recordCount);

  std::uint8_t head[kXdlRecordHeadSize];
  EncodeXdlRecordHead({0x100, 0x200, 0x300}, head);
  EXPECT_EQ(Bytes(head, head + 12), (Bytes{0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0}));
}

TEST(XdlBlocksTest, EntryIdTextIsAlwaysTerminated) {
  xdltest::ByteBuilder b;
  b.U32(7).Text("ABCDEFGHIJKLMNOP", 16).U32(0x20000).U32(5).U32(6).U8(2);
  XdlEntry e = DecodeXdlEntryFixed(b.bytes.data());
  EXPECT_STREQ(e.idText, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(e.maskLength, 2);
  XdlEntry set;
  set.SetIdText("A_VERY_LONG_IDENTIFIER");
  EXPECT_STREQ(set.idText, "A_VERY_LONG_IDE");
}

TEST(XdlBlocksTest, MillisecondsRoundHalvesUp) {
  EXPECT_EQ(XdlMillisecondsFromSeconds(0.0), 0u);
  EXPECT_EQ(XdlMillisecondsFromSeconds(0.0004), 0u);
  EXPECT_EQ(XdlMillisecondsFromSeconds(0.0625), 63u);  // exactly 62.5 ms
  EXPECT_EQ(XdlMillisecondsFromSeconds(0.06249), 62u);
  EXPECT_EQ(XdlMillisecondsFromSeconds(1.2344), 1234u);
  EXPECT_EQ(XdlMillisecondsFromSeconds(1.2346), 1235u);
  EXPECT_EQ(XdlMillisecondsFromSeconds(-3.0), 0u);
  EXPECT_EQ(XdlMillisecondsFromSeconds(1e12), 0xFFFFFFFFu);
}

}  // namespace
