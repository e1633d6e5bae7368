// The playback thread: what it hands over, pacing by time and speed, stopping,
// pausing and seeking while it runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "definition/ADXCommands.h"
#include "tests/datalog/XdlTestSupport.h"

using namespace std::chrono_literals;
using xdltest::BuildLog;
using xdltest::Bytes;
using xdltest::Event;
using xdltest::RawEntry;
using xdltest::RawLogOptions;
using xdltest::RawRecord;

namespace {

const RawEntry kSend{0x51515151, "SEND", 0x20000, 4, 4, xdltest::AllOnes(15)};
const RawEntry kListen{0x16016016, "SLOW", 0x100000, 2, 5, Bytes{0x11}};  // positions 0 and 4
const RawEntry kOther{0x77777777, "QUIET", 0x40000, 1, 1, Bytes{0x01}};   // neither kind of packet

// count records of entry 0, gapMs apart; the first payload byte is the index.
std::vector<RawRecord> Steady(int count, std::uint32_t gapMs) {
  std::vector<RawRecord> records;
  for (int i = 0; i < count; ++i) {
    auto b = static_cast<std::uint8_t>(i);
    records.push_back({gapMs * static_cast<std::uint32_t>(i), 0, Bytes{b, 0xA0, 0xB0, 0xC0}});
  }
  return records;
}

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

class DataLogPlaybackTest : public ::testing::Test {
 protected:
  void OpenLog(const Bytes& bytes) {
    path = dir.File("play.xdl");
    xdltest::WriteAll(path, bytes);
    log.SetCallback(&cb);
    ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  }
  void TearDown() override { log.Close(); }

  xdltest::ScratchDir dir;
  std::string path;
  xdltest::CollectingCallback cb;
  DataLogFile log;
};

TEST_F(DataLogPlaybackTest, HandsEveryPacketOverAsAReplayAndEnds) {
  std::vector<RawRecord> records{
      {0, 0, {1, 2, 3, 4}}, {1, 1, {0xAA, 0xBB}}, {2, 2, {9}}, {3, 0, {5, 6, 7, 8}}};
  OpenLog(BuildLog({kSend, kListen, kOther}, records));
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  EXPECT_EQ(log.StartPlayback(), XDL_ERR_STATE);  // already playing
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  EXPECT_EQ(log.LastPlaybackResult(), XDL_END_OF_DATA);
  EXPECT_EQ(log.State(), XDL_STATE_READY);

  std::vector<Event> packets = cb.Packets();
  ASSERT_EQ(packets.size(), 3u);  // the record of the third kind is not a packet
  EXPECT_EQ(packets[0].kind, Event::kSend);
  EXPECT_EQ(packets[0].source, 1);
  EXPECT_EQ(packets[0].hash, 0x51515151u);
  EXPECT_EQ(packets[0].sampleIndex, 1);
  EXPECT_EQ(packets[0].commandType, ADX_TYPE_SENDCOMMAND);
  EXPECT_EQ(packets[0].data, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(packets[1].kind, Event::kListen160);
  EXPECT_EQ(packets[1].commandType, ADX_TYPE_160BAUDLISTEN);
  EXPECT_EQ(packets[1].data, (Bytes{0xAA, 0, 0, 0, 0xBB}));  // expanded to fullSize
  EXPECT_EQ(packets[1].sampleIndex, 2);
  EXPECT_EQ(packets[2].data, (Bytes{5, 6, 7, 8}));
  EXPECT_EQ(packets[2].sampleIndex, 4);

  // Every record reports progress (the third kind too); the end comes last.
  std::vector<Event> events = cb.Events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, Event::kEnded);
  EXPECT_EQ(cb.Count(Event::kEnded), 1);
  EXPECT_EQ(cb.Count(Event::kProgress), 4);
  Event lastProgress = events[events.size() - 2];
  EXPECT_EQ(lastProgress.kind, Event::kProgress);
  EXPECT_EQ(lastProgress.timeMs, 3u);
  EXPECT_EQ(lastProgress.sampleIndex, 4);
}

TEST_F(DataLogPlaybackTest, SpeedTwoHalvesTheGaps) {
  OpenLog(BuildLog({kSend}, Steady(5, 100)));
  log.SetSpeed(2.0f);
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  std::vector<Event> packets = cb.Packets();
  ASSERT_EQ(packets.size(), 5u);
  for (std::size_t i = 1; i < packets.size(); ++i) {
    double gap = Ms(packets[i].when - packets[i - 1].when);
    EXPECT_GT(gap, 40.0) << i;
    EXPECT_LT(gap, 95.0) << i;
  }
  EXPECT_GT(Ms(packets.back().when - packets.front().when), 185.0);
}

TEST_F(DataLogPlaybackTest, TinySpeedsPlayWithoutPause) {
  for (float speed : {0.01f, 0.0f, -1.0f}) {
    cb.Clear();
    OpenLog(BuildLog({kSend}, Steady(6, 1000)));
    log.SetSpeed(speed);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(log.StartPlayback(), XDL_OK);
    ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
    EXPECT_LT(Ms(std::chrono::steady_clock::now() - start), 500.0) << speed;
    EXPECT_EQ(cb.Packets().size(), 6u);
  }
}

TEST_F(DataLogPlaybackTest, SingleRecordPlaysAtOnceAndOpenResetsTheSpeed) {
  log.SetSpeed(3.0f);
  OpenLog(BuildLog({kSend}, Steady(1, 0)));
  EXPECT_EQ(log.Speed(), 1.0f);
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  EXPECT_LT(Ms(std::chrono::steady_clock::now() - start), 200.0);
  EXPECT_EQ(cb.Packets().size(), 1u);
  EXPECT_EQ(cb.Count(Event::kEnded), 1);
}

TEST_F(DataLogPlaybackTest, UnknownEntryStopsWithFourAndNoEndNotification) {
  std::vector<RawRecord> records = Steady(5, 1);
  records[2].entryIndex = 3;
  OpenLog(BuildLog({kSend}, records));
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  EXPECT_EQ(log.LastPlaybackResult(), XDL_ERR_NO_ENTRY);
  EXPECT_EQ(cb.Packets().size(), 2u);
  EXPECT_EQ(cb.Count(Event::kEnded), 0);
  EXPECT_EQ(log.State(), XDL_STATE_READY);
}

TEST_F(DataLogPlaybackTest, LogCutShortPlaysEveryCompleteRecordAndEndsNormally) {
  RawLogOptions crashed;
  crashed.endOffset = 0xFFFFFFFFu;
  crashed.recordCount = 0;
  Bytes whole = BuildLog({kSend}, Steady(6, 1), crashed);
  whole.resize(whole.size() - 3);  // the last payload is cut
  OpenLog(whole);
  EXPECT_EQ(log.RecordCount(), 5u);
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  EXPECT_EQ(cb.Packets().size(), 5u);
  EXPECT_EQ(log.LastPlaybackResult(), XDL_END_OF_DATA);
  EXPECT_EQ(cb.Count(Event::kEnded), 1);
}

TEST_F(DataLogPlaybackTest, PauseAndResumeDeliverEveryRecordOnce) {
  OpenLog(BuildLog({kSend}, Steady(12, 20)));
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(cb.WaitForPackets(3));
  log.RequestStop();  // the pause of the logger bar
  log.WaitForPlaybackThread();
  EXPECT_FALSE(log.IsPlaybackThreadRunning());
  EXPECT_EQ(log.State(), XDL_STATE_READY);
  EXPECT_EQ(log.LastPlaybackResult(), XDL_OK);
  EXPECT_EQ(cb.Count(Event::kEnded), 0);
  const std::size_t before = cb.Packets().size();
  EXPECT_EQ(log.SampleIndex(), static_cast<std::int32_t>(before));
  ASSERT_EQ(log.StartPlayback(), XDL_OK);  // continues at the next record
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  std::vector<Event> packets = cb.Packets();
  ASSERT_EQ(packets.size(), 12u);
  for (std::size_t i = 0; i < packets.size(); ++i) EXPECT_EQ(packets[i].data[0], i) << i;
}

TEST_F(DataLogPlaybackTest, SeekWhilePlayingMovesThePlayback) {
  OpenLog(BuildLog({kSend}, Steady(200, 10)));
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(cb.WaitForPackets(2));
  ASSERT_EQ(log.Seek(150, XDL_SEEK_FROM_START), XDL_OK);
  ASSERT_TRUE(cb.WaitForPackets(8));
  log.RequestStop();
  log.WaitForPlaybackThread();
  // After the seek no record from before it arrives: the next one is index 150.
  std::vector<Event> packets = cb.Packets();
  std::size_t jump = 0;
  while (jump < packets.size() && packets[jump].data[0] < 150) ++jump;
  ASSERT_LT(jump, packets.size());
  EXPECT_EQ(packets[jump].data[0], 150);
  EXPECT_EQ(packets[jump].sampleIndex, 151);
  for (std::size_t i = jump + 1; i < packets.size(); ++i)
    EXPECT_EQ(packets[i].data[0], packets[i - 1].data[0] + 1);
  // and it is paced from the seek position, not from the old time.
  EXPECT_LT(Ms(packets[jump].when - packets[jump - 1].when), 200.0);
}

TEST_F(DataLogPlaybackTest, CloseAndDestructionWaitForTheThread) {
  OpenLog(BuildLog({kSend}, Steady(100, 50)));
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(cb.WaitForPackets(1));
  EXPECT_NE(log.Close(), 0);
  EXPECT_FALSE(log.IsPlaybackThreadRunning());
  EXPECT_EQ(log.State(), XDL_STATE_CLOSED);
  const std::size_t delivered = cb.Packets().size();
  std::this_thread::sleep_for(80ms);
  EXPECT_EQ(cb.Packets().size(), delivered);  // nothing arrives after Close

  auto other = std::make_unique<DataLogFile>();
  other->SetCallback(&cb);
  ASSERT_EQ(other->Open(path.c_str(), true), XDL_OK);
  ASSERT_EQ(other->StartPlayback(), XDL_OK);
  other.reset();  // joins the running thread
}

// A callback that acts on the log from the playback thread.
class ReentrantCallback : public xdltest::CollectingCallback {
 public:
  DataLogFile* log = nullptr;
  std::atomic<XdlResult> startResult{XdlResult::Ok};
  std::atomic<XdlResult> openResult{XdlResult::Ok};
  std::int32_t OnPlaybackEnded() override {
    startResult.store(log->StartPlayback());            // still playing: refused
    openResult.store(log->Open("/nonexistent", true));  // would free the thread's buffers
    log->WaitForPlaybackThread();                       // must not wait for itself
    return CollectingCallback::OnPlaybackEnded();
  }
};

TEST_F(DataLogPlaybackTest, CallsFromInsideTheCallbackNeverDeadlock) {
  ReentrantCallback reentrant;
  reentrant.log = &log;
  path = dir.File("re.xdl");
  xdltest::WriteAll(path, BuildLog({kSend}, Steady(3, 1)));
  log.SetCallback(&reentrant);
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  EXPECT_EQ(reentrant.startResult.load(), XDL_ERR_STATE);
  EXPECT_EQ(reentrant.openResult.load(), XDL_ERR_STATE);
  EXPECT_EQ(log.State(), XDL_STATE_READY);
}

// Closes the log from the playback thread after the second record.
class ClosingCallback : public xdltest::CollectingCallback {
 public:
  DataLogFile* log = nullptr;
  std::atomic<int> closeResult{-1};
  std::int32_t OnPlaybackProgress(std::uint32_t timeMs, std::int32_t sampleIndex) override {
    if (sampleIndex == 2) closeResult = log->Close();
    return CollectingCallback::OnPlaybackProgress(timeMs, sampleIndex);
  }
};

TEST_F(DataLogPlaybackTest, ClosingFromTheCallbackEndsPlayback) {
  ClosingCallback closing;
  closing.log = &log;
  path = dir.File("close.xdl");
  xdltest::WriteAll(path, BuildLog({kSend}, Steady(10, 1)));
  log.SetCallback(&closing);
  ASSERT_EQ(log.Open(path.c_str(), true), XDL_OK);
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  EXPECT_NE(closing.closeResult, 0);
  EXPECT_EQ(log.State(), XDL_STATE_CLOSED);
  EXPECT_EQ(closing.Packets().size(), 2u);
  EXPECT_EQ(closing.Count(Event::kEnded), 0);
}

TEST_F(DataLogPlaybackTest, RecordThenPlayTheSameLog) {
  path = dir.File("live.xdl");
  XdlEntry e;
  e.commandIdHash = 0x9999;
  e.SetIdText("LIVE");
  e.commandType = 0x20000;
  e.storedSize = e.fullSize = 3;
  e.mask = XdlMask::AllSet(120);
  log.SetCallback(&cb);
  ASSERT_EQ(log.Open(path.c_str(), false), XDL_OK);
  ASSERT_EQ(log.AddEntry(e), XDL_OK);
  ASSERT_EQ(log.StartRecording(), XDL_OK);
  // The acquisition thread records while this thread watches the count.
  std::thread acquisition([&] {
    for (std::uint8_t i = 0; i < 20; ++i) {
      Bytes packet{i, 1, 2};
      EXPECT_EQ(log.RecordPacket(0x9999, packet.data(), 3), XDL_OK);
      std::this_thread::sleep_for(1ms);
    }
  });
  while (log.RecordCount() < 20) std::this_thread::sleep_for(1ms);
  acquisition.join();
  ASSERT_EQ(log.StopRecording(), XDL_OK);
  log.SetSpeed(4.0f);
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  std::vector<Event> packets = cb.Packets();
  ASSERT_EQ(packets.size(), 20u);
  for (std::size_t i = 0; i < packets.size(); ++i) EXPECT_EQ(packets[i].data, (Bytes{std::uint8_t(i), 1, 2}));
}

}  // namespace

// Stop, seek and a change of speed end a long wait between two records at
// once instead of after the recorded gap.
TEST_F(DataLogPlaybackTest, LongGapEndsAtOnceOnStopSeekOrSpeed) {
  const std::vector<RawRecord> records{{0, 0, Bytes{0, 1, 2, 3}}, {600000, 0, Bytes{1, 1, 2, 3}}};
  OpenLog(BuildLog({kSend}, records));

  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(cb.WaitForPackets(1));
  auto start = std::chrono::steady_clock::now();
  log.RequestStop();
  log.WaitForPlaybackThread();
  EXPECT_LT(Ms(std::chrono::steady_clock::now() - start), 2000.0);
  EXPECT_EQ(cb.Packets().size(), 1u);  // the waiting record stays for the next start

  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  std::this_thread::sleep_for(30ms);
  start = std::chrono::steady_clock::now();
  log.SetSpeed(0.0f);  // as fast as it goes
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(log));
  EXPECT_LT(Ms(std::chrono::steady_clock::now() - start), 2000.0);
  ASSERT_EQ(cb.Packets().size(), 2u);
  EXPECT_EQ(cb.Packets()[1].data[0], 1);

  cb.Clear();
  log.SetSpeed(1.0f);
  ASSERT_EQ(log.Seek(0, XDL_SEEK_FROM_START), XDL_OK);
  ASSERT_EQ(log.StartPlayback(), XDL_OK);
  ASSERT_TRUE(cb.WaitForPackets(1));
  std::this_thread::sleep_for(30ms);
  start = std::chrono::steady_clock::now();
  ASSERT_EQ(log.Seek(0, XDL_SEEK_FROM_START), XDL_OK);  // back to the first record
  ASSERT_TRUE(cb.WaitForPackets(2, 2000ms));
  EXPECT_LT(Ms(std::chrono::steady_clock::now() - start), 2000.0);
  EXPECT_EQ(cb.Packets()[1].data[0], 0);
  log.RequestStop();
  log.WaitForPlaybackThread();
}

// A slow receiver does not stretch the schedule: each record is due a gap
// after the previous one was due, not after it was handed over.
class SlowCallback : public xdltest::CollectingCallback {
 public:
  std::int32_t OnSendCommandEnd(const DAEStatusRecord* r, const std::uint8_t* reply,
                                std::uint32_t count) override {
    std::this_thread::sleep_for(12ms);
    return xdltest::CollectingCallback::OnSendCommandEnd(r, reply, count);
  }
};

TEST_F(DataLogPlaybackTest, DeliveryTimeDoesNotAddUpOverTheLog) {
  SlowCallback slow;
  path = dir.File("slow.xdl");
  xdltest::WriteAll(path, BuildLog({kSend}, Steady(41, 20)));
  DataLogFile paced;
  paced.SetCallback(&slow);
  ASSERT_EQ(paced.Open(path.c_str(), true), XDL_OK);
  ASSERT_EQ(paced.StartPlayback(), XDL_OK);
  ASSERT_TRUE(xdltest::WaitForPlaybackEnd(paced));
  std::vector<Event> packets = slow.Packets();
  ASSERT_EQ(packets.size(), 41u);
  // 800 ms of recorded time; paying the 12 ms of every delivery on top of
  // each gap would take 1280 ms.
  const double total = Ms(packets.back().when - packets.front().when);
  EXPECT_GT(total, 760.0);
  EXPECT_LT(total, 1100.0);
  paced.Close();
}
