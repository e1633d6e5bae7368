#include <atomic>
#include <thread>

#include "tests/acquisition/EngineFixture.h"

namespace {

// One packet of the slow line as the fast port sees it: sync, then nine
// bytes per data byte (non-zero marker, bits high first, zero byte = 1 bit).
Bytes SlowWord(std::uint8_t value) {
  Bytes word{0xFF};
  for (int bit = 7; bit >= 0; --bit) word.push_back((value >> bit) & 1 ? 0x00 : 0xFF);
  return word;
}

Bytes SlowPacket(const Bytes& data, std::size_t zeros = 9) {
  Bytes out{0xFF};
  out.insert(out.end(), zeros, 0x00);
  for (std::uint8_t b : data) {
    Bytes w = SlowWord(b);
    out.insert(out.end(), w.begin(), w.end());
  }
  return out;
}

// Writes a byte every few milliseconds until stopped.
class Chatterer {
 public:
  Chatterer(PtyPeer& peer, std::uint8_t byte, std::chrono::milliseconds gap)
      : thread_([this, &peer, byte, gap] {
          while (!stop_.load()) {
            peer.Write({byte});
            std::this_thread::sleep_for(gap);
          }
        }) {}
  ~Chatterer() {
    stop_.store(true);
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(EngineTest, SilenceIsFoundOnAQuietLine) {
  ADXCListenSilence* cmd = Silence(100, 1000);
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(cmd), 0);
  double ms = MsSince(start);
  EXPECT_GE(ms, 99.0);
  EXPECT_LT(ms, 400.0);
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"SilenceBegin", "SilenceEnd"}));
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().command, cmd);

  // Bytes that arrived before the command are purged and do not spoil it.
  peer.Write({1, 2, 3});
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(engine.Execute(cmd), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
}

TEST_F(EngineTest, SilenceIsNotFoundOnABusyLine) {
  Chatterer busy(peer, 0x55, 10ms);
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Silence(100, 300)), 0);
  double ms = MsSince(start);
  EXPECT_GE(ms, 299.0);
  EXPECT_LT(ms, 800.0);
  EXPECT_EQ(callback.Last().status, DAE_TIMEOUT);

  // A stop request ends the wait.
  callback.events.clear();
  std::thread stopper([&] {
    std::this_thread::sleep_for(100ms);
    engine.RequestAbort();
  });
  start = Clock::now();
  EXPECT_EQ(engine.Execute(Silence(100, 5000)), 0);
  stopper.join();
  EXPECT_LT(MsSince(start), 1000.0);
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
  EXPECT_FALSE(engine.AbortRequested());
}

TEST_F(EngineTest, PlainPauseLeavesThePortAlone) {
  peer.Write({0x42});
  callback.results["SilenceEnd"] = -1;  // would show if a notification were issued
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Silence(0, 200)), 0);
  double ms = MsSince(start);
  EXPECT_GE(ms, 200.0);
  EXPECT_LT(ms, 450.0);
  EXPECT_TRUE(callback.events.empty());

  // Nothing was purged: the byte is still there.
  std::uint8_t byte = 0;
  EXPECT_EQ(engine.Port()->Read(1, &byte), 1u);
  EXPECT_EQ(byte, 0x42);
}

TEST_F(EngineTest, PauseEndsEarlyOnAStopRequest) {
  std::thread stopper([&] {
    std::this_thread::sleep_for(100ms);
    engine.RequestAbort();
  });
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Silence(0, 10000)), 0);
  stopper.join();
  EXPECT_LT(MsSince(start), 1000.0);
  EXPECT_TRUE(engine.AbortRequested());  // left for an enclosing macro
}

TEST_F(EngineTest, ADeadLineIsNoSilence) {
  peer.Hangup();
  EXPECT_EQ(engine.Execute(Silence(100, 1000)), 0);
  EXPECT_EQ(callback.Last().status, DAE_TIMEOUT);
}

TEST_F(EngineTest, ChatterAlreadyWaitingIsFoundWithoutAShift) {
  peer.Write({0xA1, 0xB2, 0xC3, 0x99});
  std::this_thread::sleep_for(30ms);
  ADXCListenChatter* cmd = Chatter({0xA1, 0xB2, 0xC3}, 500);
  EXPECT_EQ(engine.Execute(cmd), 0);
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"ChatterBegin", "ChatterEnd"}));
  EXPECT_EQ(callback.Last().status, DAE_OK);
  // Found in the first window: the byte after the string was not consumed.
  std::uint8_t next = 0;
  EXPECT_EQ(engine.Port()->Read(1, &next), 1u);
  EXPECT_EQ(next, 0x99);
}

TEST_F(EngineTest, ChatterIsFoundAfterShifts) {
  peer.After(20ms, [&] { peer.WriteSpaced({0x01, 0x02, 0xA1, 0xA1, 0xB2, 0xC3, 0x07}, 5ms); });
  EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2, 0xC3}, 1000)), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_OK);
}

TEST_F(EngineTest, ChatterNotFound) {
  {
    Chatterer busy(peer, 0x33, 5ms);
    auto start = Clock::now();
    EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 300)), 0);
    double ms = MsSince(start);
    EXPECT_GE(ms, 299.0);
    EXPECT_LT(ms, 900.0);
    EXPECT_EQ(callback.Last().status, DAE_TIMEOUT);
  }
  // A first read that comes back short ends the search at once.
  std::this_thread::sleep_for(20ms);
  engine.Port()->Purge(true, true);
  peer.Write({0xA1});
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 300)), 0);
  EXPECT_LT(MsSince(start), 600.0);
  EXPECT_EQ(callback.Last().status, DAE_TIMEOUT);

  // A begin notification that refuses cancels the command.
  callback.events.clear();
  callback.results["ChatterBegin"] = -2;
  EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 300)), -2);
  EXPECT_EQ(callback.Names(), std::vector<std::string>{"ChatterBegin"});
}

TEST_F(EngineTest, ChatterWaitEndsOnAStopRequestAndKeepsIt) {
  Chatterer busy(peer, 0x33, 5ms);
  std::thread stopper([&] {
    std::this_thread::sleep_for(100ms);
    engine.RequestAbort();
  });
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 5000)), 0);
  stopper.join();
  EXPECT_LT(MsSince(start), 1000.0);
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
  EXPECT_TRUE(engine.AbortRequested());
}

TEST_F(EngineTest, ChatterOnAVanishedPortEndsAtOnce) {
  peer.After(50ms, [&] {
    peer.Write({0x01, 0x02});
    std::this_thread::sleep_for(20ms);
    peer.Hangup();
  });
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 3000)), 0);
  peer.Join();
  EXPECT_LT(MsSince(start), 1500.0);
  EXPECT_EQ(callback.Last().status, DAE_TIMEOUT);
}

class SlowLinkTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    // The listen runs under the time-outs left by the previous command.
    engine.Port()->SetTimeouts(100, 0, 300, 0, 300, kTimeoutAll);
  }
};

TEST_F(SlowLinkTest, PacketIsDecoded) {
  ADXC160BaudListen* cmd = Slow(3);
  peer.Write(SlowPacket({0x00, 0xA5, 0xFF}));
  EXPECT_EQ(engine.Execute(cmd), 0);
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"160Begin", "160End"}));
  const CallbackEvent& end = callback.Last();
  EXPECT_EQ(end.status, DAE_OK);
  EXPECT_EQ(end.command, cmd);
  EXPECT_EQ(end.commandIdHash, cmd->idhash);
  EXPECT_EQ(end.data, (Bytes{0x00, 0xA5, 0xFF}));
}

TEST_F(SlowLinkTest, NineZerosAreNeededForSync) {
  // Eight zeros and a non-zero byte restart the count; the real sync follows.
  Bytes stream(8, 0x00);
  stream.push_back(0xFF);
  Bytes packet = SlowPacket({0x3C, 0x81});
  stream.insert(stream.end(), packet.begin(), packet.end());
  peer.Write(stream);
  EXPECT_EQ(engine.Execute(Slow(2)), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, (Bytes{0x3C, 0x81}));

  // With only eight zeros there is no sync at all.
  callback.events.clear();
  peer.Write(SlowPacket({0x3C, 0x81}, 8));
  EXPECT_EQ(engine.Execute(Slow(2)), 0);
  EXPECT_EQ(callback.Last().status, DAE_NO_SYNC);
  EXPECT_EQ(callback.Last().count, 2u);
}

TEST_F(SlowLinkTest, ByteErrorsDoNotStopThePacket) {
  Bytes stream = SlowPacket({0x12, 0x34, 0x56});
  stream[10] = 0x00;  // the first word's start marker
  peer.Write(stream);
  EXPECT_EQ(engine.Execute(Slow(3)), 0);
  const CallbackEvent& end = callback.Last();
  EXPECT_EQ(end.status, DAE_BYTE_ERROR);
  ASSERT_EQ(end.count, 3u);
  EXPECT_EQ(end.data, (Bytes{0x00, 0x34, 0x56}));  // the bad word's byte stays 0

  // A word cut short by the end of the stream is an error too.
  callback.events.clear();
  Bytes cut = SlowPacket({0x77, 0x66});
  cut.resize(cut.size() - 4);
  peer.Write(cut);
  EXPECT_EQ(engine.Execute(Slow(2)), 0);
  EXPECT_EQ(callback.Last().status, DAE_BYTE_ERROR);
  EXPECT_EQ(callback.Last().data, (Bytes{0x77, 0x00}));
}

TEST_F(SlowLinkTest, SilentLineAndRefusalsAndEmptyPackets) {
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Slow(4)), 0);
  EXPECT_LT(MsSince(start), 1000.0);
  EXPECT_EQ(callback.Last().status, DAE_NO_SYNC);

  // A refusing begin notification still gets its end notification, without buffer.
  callback.events.clear();
  callback.results["160Begin"] = -1;
  callback.results["160End"] = 5;
  EXPECT_EQ(engine.Execute(Slow(4)), 5);
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"160Begin", "160End"}));
  EXPECT_EQ(callback.Last().status, DAE_BEGIN_REFUSED);
  EXPECT_FALSE(callback.Last().hasData);
  EXPECT_EQ(callback.Last().count, 4u);

  // A packet size of 0 reads nothing and issues only the end notification.
  callback.events.clear();
  callback.results.clear();
  ADXC160BaudListen* empty = Slow(0);
  EXPECT_EQ(engine.Execute(empty), 0);
  ASSERT_EQ(callback.Names(), std::vector<std::string>{"160End"});
  EXPECT_EQ(callback.Last().command, empty);
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_FALSE(callback.Last().hasData);
  EXPECT_EQ(callback.Last().count, 0u);
}

TEST_F(SlowLinkTest, StopRequestDuringSyncSearch) {
  engine.Port()->SetTimeouts(100, 0, 2000, 0, 300, kTimeoutAll);
  Chatterer busy(peer, 0xFF, 5ms);
  std::thread stopper([&] {
    std::this_thread::sleep_for(100ms);
    engine.RequestAbort();
  });
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Slow(50)), 0);
  stopper.join();
  EXPECT_LT(MsSince(start), 1500.0);
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
}

}  // namespace
