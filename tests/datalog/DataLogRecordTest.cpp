// Recording: the bytes written, the entry table rules and the result codes.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <thread>

#include "tests/datalog/XdlTestSupport.h"
#include "tests/support/FileSizeCap.h"

using xdltest::ByteBuilder;
using xdltest::Bytes;

namespace {

XdlEntry SendEntry() {
  XdlEntry e;
  e.commandIdHash = 0x11223344;
  e.SetIdText("SEND1");
  e.commandType = 0x20000;
  e.storedSize = 3;
  e.fullSize = 3;
  e.mask = XdlMask::AllSet(120);
  return e;
}

XdlEntry ListenEntry() {
  XdlEntry e;
  e.commandIdHash = 0xA0B0C0D0;
  e.SetIdText("LISTEN");
  e.commandType = 0x100000;
  e.storedSize = 2;
  e.fullSize = 4;
  e.mask = XdlMask::AllSet(4);
  e.mask.SetBit(1, false);
  e.mask.SetBit(3, false);  // bits 0 and 2 of four: byte 0x05
  return e;
}

class DataLogRecordTest : public ::testing::Test {
 protected:
  xdltest::ScratchDir dir;
  DataLogFile log;
};

TEST_F(DataLogRecordTest, WritesHeaderTableAndRecordsByteForByte) {
  const std::string path = dir.File("two.xdl");
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  EXPECT_EQ(log.State(), XDL_STATE_OPEN_RECORD);
  ASSERT_EQ(log.AddEntry(SendEntry()), XDL_OK);
  ASSERT_EQ(log.AddEntry(ListenEntry()), XDL_OK);
  ASSERT_EQ(log.StartRecording(), XDL_OK);
  EXPECT_EQ(log.State(), XDL_STATE_RECORDING);

  const Bytes reply{1, 2, 3};
  const Bytes packet{9, 8, 7, 6};
  ASSERT_EQ(log.RecordPacket(0x11223344, reply.data(), 3), XDL_OK);
  // The first record fixed the table: the header is on disk, the log still open.
  Bytes early = xdltest::ReadAll(path);
  ASSERT_GE(early.size(), 141u);
  EXPECT_EQ(XdlGetU32(&early[8]), 0xFFFFFFFFu);  // endOffset while recording
  EXPECT_EQ(XdlGetU32(&early[36]), 0u);          // recordCount not yet known
  EXPECT_EQ(log.AddEntry(SendEntry()), XDL_ERR_STATE);

  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  ASSERT_EQ(log.RecordPacket(0xA0B0C0D0, packet.data(), 4), XDL_OK);
  EXPECT_EQ(log.RecordPacket(0xDEAD, packet.data(), 4), XDL_ERR_NO_ENTRY);
  ASSERT_EQ(log.StopRecording(), XDL_OK);
  EXPECT_EQ(log.State(), XDL_STATE_READY);
  EXPECT_EQ(log.RecordCount(), 2u);
  ASSERT_NE(log.Close(), 0);

  const Bytes file = xdltest::ReadAll(path);
  ASSERT_EQ(file.size(), 155u);
  const std::uint32_t secondTime = XdlGetU32(&file[141 + 4]);
  EXPECT_GE(secondTime, 25u);
  EXPECT_LT(secondTime, 2000u);

  ByteBuilder expected;
  expected.U32(3).U32(126).U32(156).Raw(Bytes(file.begin() + 12, file.begin() + 28)).Zeros(8).U32(2);
  expected.U32(2);
  expected.U32(0x11223344).Text("SEND1", 16).U32(0x20000).U32(3).U32(3).U8(15).Raw(Bytes(15, 0xFF));
  expected.U32(0xA0B0C0D0).Text("LISTEN", 16).U32(0x100000).U32(2).U32(4).U8(1).U8(0x05);
  expected.U32(141).U32(0).U32(0).U8(1).U8(2).U8(3);
  expected.U32(155).U32(secondTime).U32(1).U8(9).U8(7);
  EXPECT_EQ(file, expected.bytes);

  // The start time is the local date: a plausible year, month and weekday.
  const std::uint16_t year = XdlGetU16(&file[12]);
  EXPECT_GE(year, 2020);
  EXPECT_GE(XdlGetU16(&file[14]), 1);
  EXPECT_LE(XdlGetU16(&file[14]), 12);
  EXPECT_LE(XdlGetU16(&file[16]), 6);
}

TEST_F(DataLogRecordTest, ShortAndMissingPacketsAreZeroFilled) {
  const std::string path = dir.File("short.xdl");
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  ASSERT_EQ(log.AddEntry(SendEntry()), XDL_OK);
  ASSERT_EQ(log.StartRecording(), XDL_OK);
  const Bytes full{0xA1, 0xA2, 0xA3};
  const Bytes part{0xB1};
  ASSERT_EQ(log.RecordPacket(0x11223344, full.data(), 3), XDL_OK);
  ASSERT_EQ(log.RecordPacket(0x11223344, part.data(), 1), XDL_OK);
  ASSERT_EQ(log.RecordPacket(0x11223344, nullptr, 0), XDL_OK);
  ASSERT_NE(log.Close(), 0);  // Close stops the recording itself
  const Bytes file = xdltest::ReadAll(path);
  const std::size_t data = 40 + 4 + 33 + 15;
  ASSERT_EQ(file.size(), data + 3 * 15);
  EXPECT_EQ(XdlGetU32(&file[8]), file.size() + 1);
  EXPECT_EQ(XdlGetU32(&file[36]), 3u);
  EXPECT_EQ(Bytes(file.begin() + data + 12, file.begin() + data + 15), full);
  EXPECT_EQ(Bytes(file.begin() + data + 27, file.begin() + data + 30), (Bytes{0xB1, 0, 0}));
  EXPECT_EQ(Bytes(file.begin() + data + 42, file.begin() + data + 45), (Bytes{0, 0, 0}));
}

TEST_F(DataLogRecordTest, StoppingWithoutRecordsStillWritesTheTable) {
  const std::string path = dir.File("empty.xdl");
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  ASSERT_EQ(log.AddEntry(SendEntry()), XDL_OK);
  ASSERT_EQ(log.StartRecording(), XDL_OK);
  ASSERT_EQ(log.StopRecording(), XDL_OK);
  ASSERT_NE(log.Close(), 0);
  const Bytes file = xdltest::ReadAll(path);
  ASSERT_EQ(file.size(), 92u);
  EXPECT_EQ(XdlGetU32(&file[0]), 3u);
  EXPECT_EQ(XdlGetU32(&file[4]), 92u);
  EXPECT_EQ(XdlGetU32(&file[8]), 93u);  // the table lies inside the log
  EXPECT_EQ(XdlGetU32(&file[36]), 0u);
  EXPECT_EQ(XdlGetU32(&file[40]), 1u);
}

TEST_F(DataLogRecordTest, ResultCodesOutsideTheirStates) {
  Bytes packet{1, 2, 3};
  EXPECT_EQ(log.StartRecording(), XDL_ERR_STATE);
  EXPECT_EQ(log.RecordPacket(1, packet.data(), 3), XDL_ERR_STATE);
  EXPECT_EQ(log.StopRecording(), XDL_ERR_STATE);
  EXPECT_EQ(log.Open("", false), XDL_ERR_CANNOT_OPEN);
  EXPECT_EQ(log.Open(nullptr, true), XDL_ERR_CANNOT_OPEN);
  EXPECT_EQ(log.Open(dir.File("missing/dir/x.xdl").c_str(), false), XDL_ERR_CANNOT_OPEN);
  EXPECT_EQ(log.Open(dir.File("absent.xdl").c_str(), true), XDL_ERR_CANNOT_OPEN);
  EXPECT_EQ(log.State(), XDL_STATE_CLOSED);
  EXPECT_NE(log.Close(), 0);  // closing a closed log is fine

  const std::string path = dir.File("codes.xdl");
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  ASSERT_EQ(log.AddEntry(SendEntry()), XDL_OK);
  EXPECT_EQ(log.RecordPacket(0x11223344, packet.data(), 3), XDL_ERR_STATE);  // not started
  EXPECT_EQ(log.StartPlayback(), XDL_ERR_NO_CALLBACK);
  xdltest::CollectingCallback cb;
  log.SetCallback(&cb);
  EXPECT_EQ(log.StartPlayback(), XDL_ERR_STATE);
  EXPECT_EQ(log.Seek(0, XDL_SEEK_FROM_START), XDL_ERR_STATE);
  ASSERT_EQ(log.StartRecording(), XDL_OK);
  EXPECT_EQ(log.StartRecording(), XDL_ERR_STATE);
  EXPECT_EQ(log.Seek(1, 0), XDL_ERR_STATE);
  XdlRecordHead head;
  EXPECT_EQ(log.ReadRecord(nullptr, nullptr, 0, nullptr), XDL_ERR_INVALID_ARG);
  EXPECT_EQ(log.ReadRecord(&head, nullptr, 0, nullptr), XDL_ERR_STATE);
  // Sizes the format cannot carry are refused before they reach the table.
  XdlEntry huge = SendEntry();
  huge.storedSize = kXdlMaxPacketSize + 1;
  EXPECT_EQ(log.AddEntry(huge), XDL_ERR_INVALID_ARG);
  XdlEntry wide = SendEntry();
  wide.mask = XdlMask::AllSet(kXdlMaxMaskBits + 8);
  EXPECT_EQ(log.AddEntry(wide), XDL_ERR_INVALID_ARG);
  ASSERT_NE(log.Close(), 0);
}

TEST_F(DataLogRecordTest, FindEntryReturnsTheLastMatch) {
  ASSERT_EQ(log.Open(dir.File("find.xdl").c_str(), false), XDL_OK);
  XdlEntry a = SendEntry();
  XdlEntry b = ListenEntry();
  ASSERT_EQ(log.AddEntry(a), XDL_OK);
  ASSERT_EQ(log.AddEntry(b), XDL_OK);
  ASSERT_EQ(log.AddEntry(a), XDL_OK);
  EXPECT_EQ(log.FindEntry(a.commandIdHash), 2);
  EXPECT_EQ(log.FindEntry(b.commandIdHash), 1);
  EXPECT_EQ(log.FindEntry(12345), -1);
  // The table holds deep copies: changing the caller's entry changes nothing.
  a.mask.SetBit(0, false);
  a.SetIdText("CHANGED");
  XdlEntry stored;
  ASSERT_TRUE(log.GetEntry(0, &stored));
  EXPECT_STREQ(stored.idText, "SEND1");
  EXPECT_TRUE(stored.mask.IsStored(0));
  EXPECT_EQ(stored.maskLength, 15);
}

TEST_F(DataLogRecordTest, ReopeningTruncatesAndTheFileIsNotShared) {
  const std::string path = dir.File("again.xdl");
  xdltest::WriteAll(path, Bytes(500, 0x55));
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  DataLogFile other;
  EXPECT_EQ(other.Open(path.c_str(), true), XDL_ERR_CANNOT_OPEN);  // in use
  EXPECT_EQ(other.Open(path.c_str(), false), XDL_ERR_CANNOT_OPEN);
  ASSERT_NE(log.Close(), 0);
  // Closed without recording: a valid empty log of header and empty table.
  const Bytes file = xdltest::ReadAll(path);
  ASSERT_EQ(file.size(), 44u);
  EXPECT_EQ(XdlGetU32(&file[0]), 3u);
  EXPECT_EQ(XdlGetU32(&file[4]), 44u);
  EXPECT_EQ(other.Open(path.c_str(), true), XDL_OK);
  EXPECT_NE(other.Close(), 0);
}

TEST_F(DataLogRecordTest, FailedWriteEndsTheRecordingAndKeepsWhatWasWritten) {
  const std::string path = dir.File("full.xdl");
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  XdlEntry big = SendEntry();
  big.storedSize = big.fullSize = 100;
  ASSERT_EQ(log.AddEntry(big), XDL_OK);
  ASSERT_EQ(log.StartRecording(), XDL_OK);
  Bytes reply(100);
  int written = 0;
  XdlResult code = XDL_OK;
  {
    // Room for the header, the table and a little over five records.
    FileSizeCap cap(40 + 4 + 48 + 5 * 112 + 50);
    for (int i = 0; i < 20 && code == XDL_OK; ++i) {
      reply.assign(100, static_cast<std::uint8_t>(i));
      code = log.RecordPacket(big.commandIdHash, reply.data(), 100);
      if (code == XDL_OK) ++written;
    }
  }
  EXPECT_EQ(code, XDL_ERR_IO);
  EXPECT_EQ(written, 5);
  // The recording has ended; nothing more is taken silently.
  EXPECT_EQ(log.State(), XDL_STATE_READY);
  EXPECT_EQ(log.RecordingFailure(), EFBIG);
  EXPECT_EQ(log.RecordPacket(big.commandIdHash, reply.data(), 100), XDL_ERR_STATE);
  EXPECT_NE(log.Close(), 0);
  // The cause outlives Close until it is reported, once.
  EXPECT_EQ(log.TakeRecordingFailure(), EFBIG);
  EXPECT_EQ(log.TakeRecordingFailure(), 0);

  // The torn sixth record is cut off: a finished log of five whole records.
  const Bytes file = xdltest::ReadAll(path);
  ASSERT_EQ(file.size(), 40u + 4 + 48 + 5 * 112);
  EXPECT_EQ(XdlGetU32(&file[8]), file.size() + 1);
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  EXPECT_EQ(log.RecordCount(), 5u);
  Bytes buffer(100);
  XdlRecordHead head;
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 100, nullptr), XDL_OK);
    EXPECT_EQ(buffer[99], i);
  }
  EXPECT_EQ(log.ReadRecord(&head, buffer.data(), 100, nullptr), XDL_END_OF_DATA);
}

TEST_F(DataLogRecordTest, OpenFailureKeepsTheSystemsReason) {
  EXPECT_EQ(log.Open(dir.File("no/such/folder/x.xdl").c_str(), false), XDL_ERR_CANNOT_OPEN);
  EXPECT_EQ(log.OpenError(), ENOENT);
  EXPECT_EQ(log.Open(dir.File("").c_str(), true), XDL_ERR_CANNOT_OPEN);
  EXPECT_EQ(log.OpenError(), EISDIR);
  const std::string path = dir.File("held.xdl");
  DataLogFile other;
  ASSERT_EQ(other.Open(path.c_str(), false), XDL_OK);
  EXPECT_EQ(log.Open(path.c_str(), false), XDL_ERR_CANNOT_OPEN);
  EXPECT_EQ(log.OpenError(), EBUSY);
  ASSERT_EQ(log.Open(dir.File("free.xdl").c_str(), false), XDL_OK);
  EXPECT_EQ(log.OpenError(), 0);
}

}  // namespace
