// Stop requests against waits on a quiet line, reply reads that must finish,
// and bytes that must leave the port although the next command purges.
#include <thread>

#include "tests/acquisition/EngineFixture.h"

namespace {

const Bytes kConnect = {0xF4, 0x56, 0x00, 0xB6};

// Requests a stop from another thread after the delay.
class DelayedStop {
 public:
  DelayedStop(DataAcqEngine& engine, std::chrono::milliseconds delay)
      : thread_([&engine, delay] {
          std::this_thread::sleep_for(delay);
          engine.RequestAbort();
        }) {}
  ~DelayedStop() { thread_.join(); }

 private:
  std::thread thread_;
};

TEST_F(EngineTest, BytesWrittenWithoutAReplyReachTheLineDespiteTheNextPurge) {
  // Every send purges before it writes; a request written by the previous send
  // must still reach the other end. Many rounds, as the loss is a race.
  constexpr int kRounds = 300;
  ADXCSendCommand* blind = Send("connect", kConnect, 0, 0);
  Bytes seen;
  peer.After(0ms, [&] { seen = peer.Read(kRounds * kConnect.size(), 10000ms); });
  for (int i = 0; i < kRounds; ++i) {
    ASSERT_EQ(engine.Execute(blind), 0);
    ASSERT_EQ(callback.Last().status, DAE_OK);
  }
  // A silence wait purges as well.
  EXPECT_EQ(engine.Execute(Silence(20, 500)), 0);
  peer.Join();
  ASSERT_EQ(seen.size(), kRounds * kConnect.size());
  for (int i = 0; i < kRounds; ++i) {
    EXPECT_EQ(Bytes(seen.begin() + i * 4, seen.begin() + i * 4 + 4), kConnect) << "round " << i;
  }
}

TEST_F(EngineTest, StopEndsAChatterWaitOnAQuietLineWithinASlice) {
  // Nothing at all: the stop lands in the first read of the window.
  {
    DelayedStop stop(engine, 100ms);
    auto start = Clock::now();
    EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 5000)), 0);
    EXPECT_LT(MsSince(start), 600.0);
  }
  EXPECT_EQ(callback.Last().name, "ChatterEnd");
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
  EXPECT_TRUE(engine.AbortRequested());  // left for an enclosing macro

  // The first window filled, then the line went quiet: the stop lands in a
  // single-byte read of the search.
  callback.events.clear();
  peer.Write({0x01, 0x02});
  {
    DelayedStop stop(engine, 100ms);
    auto start = Clock::now();
    EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 5000)), 0);
    EXPECT_LT(MsSince(start), 600.0);
  }
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);

  // Without a stop the quiet line still runs the whole time-out.
  callback.events.clear();
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Chatter({0xA1, 0xB2}, 300)), 0);
  EXPECT_GE(MsSince(start), 295.0);
  EXPECT_EQ(callback.Last().status, DAE_TIMEOUT);
}

TEST_F(EngineTest, StopEndsASilenceWaitOnAQuietLineAsAStopNotAsSilence) {
  DelayedStop stop(engine, 100ms);
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Silence(3000, 10000)), 0);
  EXPECT_LT(MsSince(start), 600.0);
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"SilenceBegin", "SilenceEnd"}));
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
  EXPECT_FALSE(engine.AbortRequested());  // the silence wait took the request
}

TEST_F(EngineTest, StopEndsASlowListenOnAQuietLine) {
  engine.Port()->SetTimeouts(100, 0, 3000, 0, 300, kTimeoutAll);
  DelayedStop stop(engine, 100ms);
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(Slow(10)), 0);
  EXPECT_LT(MsSince(start), 600.0);
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
}

TEST_F(EngineTest, StopDuringTheReplyReadLetsTheReadFinish) {
  ADXCSendCommand* cmd = Send("req", kConnect, 3, kSendReadReply, 2000);
  peer.After(0ms, [&] {
    peer.Read(kConnect.size(), 2000ms);
    std::this_thread::sleep_for(100ms);  // the engine is reading the reply now
    engine.RequestAbort();
    std::this_thread::sleep_for(100ms);
    peer.Write({0x0A, 0x0B, 0x0C});
  });
  EXPECT_EQ(engine.Execute(cmd), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, (Bytes{0x0A, 0x0B, 0x0C}));
  // Not taken by the send: a macro around it stops before its next step.
  EXPECT_TRUE(engine.AbortRequested());

  // The same with an echo in front of the reply: the stop lands in the echo
  // read, and the reply is still read.
  engine.SetEcho(true);
  callback.events.clear();
  peer.After(0ms, [&] {
    Bytes request = peer.Read(kConnect.size(), 2000ms);
    std::this_thread::sleep_for(100ms);
    engine.RequestAbort();
    std::this_thread::sleep_for(50ms);
    peer.Write(request);
    std::this_thread::sleep_for(30ms);
    peer.Write({0x0D, 0x0E, 0x0F});
  });
  EXPECT_EQ(engine.Execute(cmd), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, (Bytes{0x0D, 0x0E, 0x0F}));
}

TEST_F(EngineTest, StopDuringAReplyReadInAMacroEndsTheMacroAfterTheRead) {
  ADXMacro* macro = Macro("monitor", 5);
  ADXCSendCommand* cmd = Send("req", kConnect, 2, kSendReadReply, 2000);
  AddStep(macro, cmd);
  AddStep(macro, Trigger("after"));
  peer.After(0ms, [&] {
    peer.Read(kConnect.size(), 2000ms);
    std::this_thread::sleep_for(100ms);
    engine.RequestAbort();
    std::this_thread::sleep_for(50ms);
    peer.Write({0x01, 0x02});
  });
  EXPECT_EQ(engine.Execute(macro), 0);
  peer.Join();
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"MacroBegin", "SendBegin", "SendEnd", "MacroEnd"}));
  EXPECT_EQ(callback.events[2].status, DAE_OK);
  EXPECT_EQ(callback.events[2].data, (Bytes{0x01, 0x02}));
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
}

}  // namespace
