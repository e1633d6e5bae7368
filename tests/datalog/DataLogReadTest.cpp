// Reading logs: header and table, records, damaged and hostile files, seeking.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "tests/datalog/XdlTestSupport.h"

using xdltest::BuildLog;
using xdltest::Bytes;
using xdltest::RawEntry;
using xdltest::RawLogOptions;
using xdltest::RawRecord;

namespace {

const RawEntry kSend{0x01010101, "MAIN", 0x20000, 4, 4, xdltest::AllOnes(15)};
const RawEntry kMasked{0x02020202, "MASKED", 0x100000, 2, 5, Bytes{0x12}};  // positions 1 and 4

// count records of entry 0, 100 ms apart, payload = {i, i+1, i+2, i+3}.
std::vector<RawRecord> Steady(int count) {
  std::vector<RawRecord> records;
  for (int i = 0; i < count; ++i) {
    auto b = static_cast<std::uint8_t>(i);
    records.push_back({static_cast<std::uint32_t>(100 * i), 0,
                       Bytes{b, std::uint8_t(b + 1), std::uint8_t(b + 2), std::uint8_t(b + 3)}});
  }
  return records;
}

class DataLogReadTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    std::string path = dir.File(name);
    xdltest::WriteAll(path, bytes);
    return path;
  }
  // Reads every remaining record; returns the final code.
  XdlResult ReadToEnd(std::vector<XdlRecordHead>* heads) {
    Bytes buffer(kXdlMaxPacketSize);
    for (;;) {
      XdlRecordHead head;
      XdlResult code =
          log.ReadRecord(&head, buffer.data(), static_cast<std::uint32_t>(buffer.size()), nullptr);
      if (code == XDL_ERR_NO_ENTRY) continue;
      if (code != XDL_OK) return code;
      heads->push_back(head);
    }
  }

  xdltest::ScratchDir dir;
  DataLogFile log;
};

TEST_F(DataLogReadTest, ReadsTableAndRecordsOfAHandMadeLog) {
  std::vector<RawRecord> records{{0, 0, {1, 2, 3, 4}}, {55, 1, {0xAA, 0xBB}}, {130, 0, {5, 6, 7, 8}}};
  const std::string path = Write("hand.xdl", BuildLog({kSend, kMasked}, records));
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  EXPECT_EQ(log.State(), XDL_STATE_READY);
  EXPECT_EQ(log.Speed(), 1.0f);
  EXPECT_EQ(log.RecordCount(), 3u);
  ASSERT_EQ(log.EntryCount(), 2);
  XdlEntry masked;
  ASSERT_TRUE(log.GetEntry(1, &masked));
  EXPECT_EQ(masked.commandIdHash, 0x02020202u);
  EXPECT_STREQ(masked.idText, "MASKED");
  EXPECT_EQ(masked.commandType, 0x100000u);
  EXPECT_EQ(masked.maskLength, 1);
  EXPECT_EQ(masked.mask.Bytes(), Bytes{0x12});
  XdlHeader header = log.Header();
  EXPECT_EQ(header.dataOffset, 40u + 4 + 48 + 34);
  EXPECT_EQ(header.startTime.year, 2026);

  Bytes buffer(4);
  XdlRecordHead head;
  const XdlEntry* entry = nullptr;
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, &entry), XDL_OK);
  EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(entry->commandIdHash, 0x01010101u);
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, &entry), XDL_OK);
  EXPECT_EQ(head.timeMs, 55u);
  EXPECT_EQ(head.entryIndex, 1u);
  EXPECT_EQ(log.SampleIndex(), 2);
  EXPECT_EQ(log.CurrentTime(), 55u);
  Bytes packet(entry->fullSize);
  XdlExpandPayload(*entry, buffer.data(), entry->storedSize, packet.data(), packet.size());
  EXPECT_EQ(packet, (Bytes{0, 0xAA, 0, 0, 0xBB}));
  // Too small a buffer: 8, and the same record can be read with a larger one.
  EXPECT_EQ(log.ReadRecord(&head, buffer.data(), 3, &entry), XDL_ERR_BUFFER_SMALL);
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, &entry), XDL_OK);
  EXPECT_EQ(buffer, (Bytes{5, 6, 7, 8}));
  EXPECT_EQ(log.ReadRecord(&head, buffer.data(), 4, &entry), XDL_END_OF_DATA);
  EXPECT_EQ(log.SampleIndex(), 3);
}

TEST_F(DataLogReadTest, VersionOtherThanThreeIsRefused) {
  for (std::uint32_t version : {2u, 0u, 4u, 0x03000000u}) {
    RawLogOptions options;
    options.version = version;
    const std::string path = Write("v.xdl", BuildLog({kSend}, Steady(2), options));
    EXPECT_EQ(log.Open(path.c_str(), true), XDL_ERR_VERSION) << version;
    EXPECT_EQ(log.State(), XDL_STATE_CLOSED);
    EXPECT_EQ(log.EntryCount(), 0);
  }
}

TEST_F(DataLogReadTest, HostileSizesAreRefusedWithoutAllocating) {
  const Bytes good = BuildLog({kSend, kMasked}, Steady(3));
  auto spoil = [&](std::size_t offset, std::uint32_t value) {
    Bytes b = good;
    if (offset + 4 <= b.size()) XdlPutU32(b.data() + offset, value);
    return b;
  };
  const std::size_t entry0 = 44;
  const std::size_t entry1 = 44 + 33 + 15;
  struct Case {
    const char* what;
    Bytes bytes;
  };
  std::vector<Case> cases{
      {"short header", Bytes(good.begin(), good.begin() + 30)},
      {"no entry count", Bytes(good.begin(), good.begin() + 42)},
      {"entry count 0xFFFFFFFF", spoil(40, 0xFFFFFFFFu)},
      {"entry count beyond the file", spoil(40, 1000)},
      {"storedSize huge", spoil(entry0 + 24, 0x7FFFFFFFu)},
      {"storedSize beyond the bound", spoil(entry1 + 24, kXdlMaxPacketSize + 1)},
      {"fullSize huge", spoil(entry1 + 28, 0xFFFFFFF0u)},
  };
  Bytes maskPastEnd(good.begin(), good.begin() + entry1 + 33);  // table cut inside the mask bytes
  maskPastEnd[entry1 + 32] = 200;
  cases.push_back({"mask beyond the file", maskPastEnd});
  for (const Case& c : cases) {
    const std::string path = Write("bad.xdl", c.bytes);
    EXPECT_EQ(log.Open(path.c_str(), true), XDL_ERR_IO) << c.what;
    EXPECT_EQ(log.State(), XDL_STATE_CLOSED) << c.what;
  }
}

TEST_F(DataLogReadTest, EntryLargerThanTheFilePlaysAndItsRecordEndsTheData) {
  // A large-reply command that was never sent in a short log.
  RawEntry large{0x44444444, "LARGE", 0x20000, 60000, 60000, Bytes{}};
  std::vector<RawRecord> records = Steady(3);
  const std::string unsent = Write("unsent.xdl", BuildLog({kSend, large}, records));
  ASSERT_EQ(log.Open(unsent.c_str(), true), XDL_OK);
  EXPECT_EQ(log.RecordCount(), 3u);
  std::vector<XdlRecordHead> heads;
  EXPECT_EQ(ReadToEnd(&heads), XDL_END_OF_DATA);
  EXPECT_EQ(heads.size(), 3u);

  // A record of that entry whose payload runs past the end of the file ends
  // the data like a torn tail: the records before it still play.
  records.push_back({400, 1, Bytes(20, 0x5A)});
  RawLogOptions crashed;
  crashed.endOffset = 0xFFFFFFFFu;
  crashed.recordCount = 0;
  const std::string torn = Write("torn.xdl", BuildLog({kSend, large}, records, crashed));
  ASSERT_EQ(log.Open(torn.c_str(), true), XDL_OK);
  EXPECT_EQ(log.RecordCount(), 3u);
  heads.clear();
  EXPECT_EQ(ReadToEnd(&heads), XDL_END_OF_DATA);
  EXPECT_EQ(heads.size(), 3u);
  EXPECT_EQ(log.Seek(10, XDL_SEEK_FROM_START), XDL_END_OF_DATA);
}

TEST_F(DataLogReadTest, MaskLengthZeroStoresEveryByte) {
  RawEntry plain{0x33, "PLAIN", 0x20000, 3, 3, Bytes{}};
  const std::string path = Write("plain.xdl", BuildLog({plain}, {{0, 0, {7, 8, 9}}}));
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  Bytes buffer(3);
  XdlRecordHead head;
  const XdlEntry* entry = nullptr;
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 3, &entry), XDL_OK);
  EXPECT_EQ(entry->maskLength, 0);
  Bytes packet(3);
  XdlExpandPayload(*entry, buffer.data(), 3, packet.data(), 3);
  EXPECT_EQ(packet, (Bytes{7, 8, 9}));
}

TEST_F(DataLogReadTest, UnknownEntryIndexIsReportedAndSkipped) {
  std::vector<RawRecord> records = Steady(3);
  records[1].entryIndex = 9;
  const std::string path = Write("skip.xdl", BuildLog({kSend}, records));
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  Bytes buffer(4);
  XdlRecordHead head;
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, nullptr), XDL_OK);
  EXPECT_EQ(log.ReadRecord(&head, buffer.data(), 4, nullptr), XDL_ERR_NO_ENTRY);
  EXPECT_EQ(head.entryIndex, 9u);
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, nullptr), XDL_OK);
  EXPECT_EQ(head.timeMs, 200u);
  EXPECT_EQ(log.SampleIndex(), 2);  // the skipped record is not counted
}

TEST_F(DataLogReadTest, NextOffsetThatDoesNotAdvanceEndsTheDataInsteadOfLooping) {
  std::vector<RawRecord> records = Steady(4);
  records[2].entryIndex = 77;
  Bytes bytes = BuildLog({kSend}, records);
  const std::size_t third = 40 + 4 + 48 + 2 * 16;
  XdlPutU32(&bytes[third], static_cast<std::uint32_t>(third));  // points at itself
  const std::string path = Write("loop.xdl", bytes);
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  std::vector<XdlRecordHead> heads;
  EXPECT_EQ(ReadToEnd(&heads), XDL_END_OF_DATA);
  EXPECT_EQ(heads.size(), 2u);
  EXPECT_EQ(log.Seek(100, XDL_SEEK_FROM_START), XDL_END_OF_DATA);  // the seek ends too
}

TEST_F(DataLogReadTest, LogsCutShortReadEveryCompleteRecord) {
  RawLogOptions crashed;
  crashed.endOffset = 0xFFFFFFFFu;
  crashed.recordCount = 0;
  const Bytes whole = BuildLog({kSend}, Steady(5), crashed);
  const std::size_t data = 40 + 4 + 48;
  // Cut inside the last payload, inside the last head, and right after a record.
  for (std::size_t cut : {data + 4 * 16 + 14, data + 4 * 16 + 5, data + 4 * 16}) {
    const std::string path = Write("cut.xdl", Bytes(whole.begin(), whole.begin() + cut));
    ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK) << cut;
    EXPECT_EQ(log.RecordCount(), 4u) << cut;
    std::vector<XdlRecordHead> heads;
    EXPECT_EQ(ReadToEnd(&heads), XDL_END_OF_DATA);
    EXPECT_EQ(heads.size(), 4u);
    EXPECT_EQ(log.SampleIndex(), 4);
  }
  // A properly closed log keeps the count of its header.
  RawLogOptions counted;
  counted.recordCount = 17;
  ASSERT_EQ(log.Open(Write("counted.xdl", BuildLog({kSend}, Steady(5), counted)).c_str(), true), XDL_OK);
  EXPECT_EQ(log.RecordCount(), 17u);
}

TEST_F(DataLogReadTest, SeekByIndex) {
  const std::string path = Write("seek.xdl", BuildLog({kSend}, Steady(40)));
  xdltest::CollectingCallback cb;
  log.SetCallback(&cb);
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  ASSERT_EQ(log.Seek(25, XDL_SEEK_FROM_START), XDL_OK);
  EXPECT_EQ(log.SampleIndex(), 25);
  EXPECT_EQ(log.CurrentTime(), 2400u);
  Bytes buffer(4);
  XdlRecordHead head;
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, nullptr), XDL_OK);
  EXPECT_EQ(buffer[0], 25);  // the 26th record is next
  // Without the from-start flag a target behind the position moves one record.
  ASSERT_EQ(log.Seek(10, 0), XDL_OK);
  EXPECT_EQ(log.SampleIndex(), 27);
  // Seek(0, from start) rewinds without reading.
  ASSERT_EQ(log.Seek(0, XDL_SEEK_FROM_START), XDL_OK);
  EXPECT_EQ(log.SampleIndex(), 0);
  EXPECT_EQ(log.CurrentTime(), 0u);
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, nullptr), XDL_OK);
  EXPECT_EQ(buffer[0], 0);
  // Past the end: 7, every record read.
  EXPECT_EQ(log.Seek(1000, XDL_SEEK_FROM_START), XDL_END_OF_DATA);
  EXPECT_EQ(log.SampleIndex(), 40);
  EXPECT_EQ(cb.Count(xdltest::Event::kSeekBegin), 4);
  EXPECT_EQ(cb.Count(xdltest::Event::kSeekEnd), 4);
}

TEST_F(DataLogReadTest, SeekByTimeStopsBeforeTheFirstLaterRecord) {
  std::vector<RawRecord> records = Steady(10);
  records[3].entryIndex = 5;  // skipped by the seek
  ASSERT_EQ(log.Open(Write("time.xdl", BuildLog({kSend}, records)).c_str(), true), XDL_OK);
  ASSERT_EQ(log.Seek(450, XDL_SEEK_FROM_START | XDL_SEEK_BY_TIME), XDL_OK);
  EXPECT_EQ(log.SampleIndex(), 4);  // 0, 1, 2, 4 read; 3 skipped
  Bytes buffer(4);
  XdlRecordHead head;
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, nullptr), XDL_OK);
  EXPECT_EQ(head.timeMs, 500u);
  EXPECT_EQ(log.SampleIndex(), 5);
  // An exact time is included: the record at 700 is read, 800 is next.
  ASSERT_EQ(log.Seek(700, XDL_SEEK_FROM_START | XDL_SEEK_BY_TIME), XDL_OK);
  ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, nullptr), XDL_OK);
  EXPECT_EQ(head.timeMs, 800u);
  EXPECT_EQ(log.Seek(5000, XDL_SEEK_BY_TIME), XDL_END_OF_DATA);
}

TEST_F(DataLogReadTest, SeekRefusalsStillEndTheSeek) {
  xdltest::CollectingCallback cb;
  log.SetCallback(&cb);
  EXPECT_EQ(log.Seek(1, 0), XDL_ERR_STATE);  // closed
  ASSERT_EQ(log.Open(Write("refuse.xdl", BuildLog({kSend}, Steady(5))).c_str(), true), XDL_OK);
  EXPECT_EQ(log.Seek(1, XDL_SEEK_UNSUPPORTED), XDL_ERR_SEEK_FLAG);
  EXPECT_EQ(log.Seek(-3, XDL_SEEK_FROM_START), XDL_ERR_INVALID_ARG);
  cb.seekBeginResult = -1;
  EXPECT_EQ(log.Seek(3, XDL_SEEK_FROM_START), XDL_ERR_SEEK_REFUSED);
  EXPECT_EQ(log.SampleIndex(), 0);
  EXPECT_EQ(cb.Count(xdltest::Event::kSeekBegin), 1);
  EXPECT_EQ(cb.Count(xdltest::Event::kSeekEnd), 4);
}

TEST_F(DataLogReadTest, RecordedLogReadsBackThroughItsMasks) {
  const std::string path = dir.File("round.xdl");
  XdlEntry e;
  e.commandIdHash = 0x4444;
  e.SetIdText("ROUND");
  e.commandType = 0x20000;
  e.fullSize = 6;
  e.storedSize = 4;
  e.mask = XdlMask::AllSet(6);
  e.mask.SetBit(1, false);
  e.mask.SetBit(4, false);
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  ASSERT_EQ(log.AddEntry(e), XDL_OK);
  ASSERT_EQ(log.StartRecording(), XDL_OK);
  for (std::uint8_t i = 0; i < 5; ++i) {
    Bytes packet{i, 0x10, std::uint8_t(i + 2), std::uint8_t(i + 3), 0x20, std::uint8_t(i + 5)};
    ASSERT_EQ(log.RecordPacket(0x4444, packet.data(), 6), XDL_OK);
  }
  ASSERT_EQ(log.StopRecording(), XDL_OK);
  // Ready to play at once, from the first record.
  Bytes buffer(4);
  XdlRecordHead head;
  const XdlEntry* entry = nullptr;
  for (std::uint8_t i = 0; i < 5; ++i) {
    ASSERT_EQ(log.ReadRecord(&head, buffer.data(), 4, &entry), XDL_OK);
    Bytes packet(6);
    XdlExpandPayload(*entry, buffer.data(), 4, packet.data(), 6);
    EXPECT_EQ(packet, (Bytes{i, 0, std::uint8_t(i + 2), std::uint8_t(i + 3), 0, std::uint8_t(i + 5)}));
  }
  EXPECT_EQ(log.ReadRecord(&head, buffer.data(), 4, &entry), XDL_END_OF_DATA);
  EXPECT_NE(log.Close(), 0);
}

TEST_F(DataLogReadTest, PlayingALogNeverWritesToIt) {
  RawLogOptions crashed;
  crashed.endOffset = 0xFFFFFFFFu;
  crashed.recordCount = 0;
  const Bytes original = BuildLog({kSend, kMasked}, Steady(12), crashed);
  const std::string path = Write("keep.xdl", original);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  ASSERT_EQ(log.Seek(7, XDL_SEEK_FROM_START), XDL_OK);
  ASSERT_NE(log.Close(), 0);
  EXPECT_EQ(xdltest::ReadAll(path), original);
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
  EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST_F(DataLogReadTest, ReadOnlyLogCanBePlayed) {
  const std::string path = Write("ro.xdl", BuildLog({kSend}, Steady(3)));
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  std::vector<XdlRecordHead> heads;
  EXPECT_EQ(ReadToEnd(&heads), XDL_END_OF_DATA);
  EXPECT_EQ(heads.size(), 3u);
  EXPECT_NE(log.Close(), 0);
}

}  // namespace

namespace {

// The demo log in the repository stays readable by the engine.
TEST(DataLogExampleTest, DemoLogReadsToItsEnd) {
  const std::string path = std::string(VARNAK_SOURCE_DIR) + "/examples/logs/demo-ecu-drive.xdl";
  DataLogFile log;
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  ASSERT_EQ(log.EntryCount(), 1);
  XdlEntry entry;
  ASSERT_TRUE(log.GetEntry(0, &entry));
  EXPECT_STREQ(entry.idText, "DATA");
  EXPECT_EQ(entry.fullSize, 67u);
  Bytes buffer(67);
  XdlRecordHead head;
  std::uint32_t lastTime = 0;
  int count = 0;
  while (log.ReadRecord(&head, buffer.data(), 67, nullptr) == XDL_OK) {
    ++count;
    EXPECT_GE(head.timeMs, lastTime);
    lastTime = head.timeMs;
    unsigned sum = 0;
    for (std::uint8_t b : buffer) sum += b;
    EXPECT_EQ(sum % 256, 0u);  // every reply carries its checksum
  }
  EXPECT_EQ(count, 300);
  EXPECT_EQ(log.RecordCount(), 300u);
  EXPECT_GT(lastTime, 25000u);
}

}  // namespace
