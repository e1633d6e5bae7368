#include <thread>

#include "tests/acquisition/EngineFixture.h"

namespace {

const Bytes kRequest = {0xF4, 0x57, 0x01, 0x00, 0xB4};

TEST_F(EngineTest, OpenSetsTheEngineTimeouts) {
  const SerialTimeouts& t = engine.Port()->Timeouts();
  EXPECT_EQ(t.interval, 300u);
  EXPECT_EQ(t.readMultiplier, 0u);
  EXPECT_EQ(t.readConstant, 2000u);
  EXPECT_EQ(t.writeMultiplier, 0u);
  EXPECT_EQ(t.writeConstant, 110u);

  DataAcqEngine other;
  EXPECT_EQ(other.Open("/dev/no-such-port-here", 8192), 0);
  EXPECT_FALSE(other.Port()->IsOpen());
}

TEST_F(EngineTest, ExecuteRefusesWhatItCannotRun) {
  EXPECT_EQ(engine.Execute(nullptr), E_FAIL);

  // A type code that is no command.
  ADXObject plain;
  plain.objectType = 0x400000;
  EXPECT_EQ(engine.Execute(&plain), E_FAIL);

  // A chatter command without byte string.
  EXPECT_EQ(engine.Execute(Chatter({}, 100)), E_FAIL);

  // No callback to report to.
  DataAcqEngine lonely;
  PtyPeer otherPeer;
  ASSERT_NE(lonely.Open(otherPeer.Path().c_str(), 8192), 0);
  EXPECT_EQ(lonely.Execute(Trigger("t")), E_FAIL);

  // A closed port.
  engine.Port()->Close();
  EXPECT_EQ(engine.Execute(Trigger("t")), E_FAIL);
  EXPECT_TRUE(callback.events.empty());
}

TEST_F(EngineTest, SendReadsTheReplyWithoutEcho) {
  ADXCSendCommand* cmd = Send("req", kRequest, 4);
  Bytes seen;
  peer.After(0ms, [&] {
    seen = peer.Read(kRequest.size(), 2000ms);
    peer.Write({0x10, 0x20, 0x30, 0x40});
  });
  EXPECT_EQ(engine.Execute(cmd), 0);
  peer.Join();
  EXPECT_EQ(seen, kRequest);
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"SendBegin", "SendEnd"}));
  const CallbackEvent& end = callback.Last();
  EXPECT_EQ(end.status, DAE_OK);
  EXPECT_EQ(end.command, cmd);
  EXPECT_EQ(end.commandIdHash, cmd->idhash);
  EXPECT_EQ(end.data, (Bytes{0x10, 0x20, 0x30, 0x40}));
  EXPECT_EQ(callback.events[0].status, DAE_OK);
  EXPECT_EQ(callback.events[0].commandIdHash, cmd->idhash);
}

TEST_F(EngineTest, ChecksumOfTheReplyIsVerifiedWhenAsked) {
  engine.SetEcho(true);
  // 0x10 + 0x20 + 0xD0 = 0x100: a good reply; one shifted by a byte is not.
  ADXCSendCommand* cmd = Send("req", kRequest, 3, kSendReadReply | kSendVerifyChecksum);
  auto answer = [&](Bytes reply) {
    peer.After(0ms, [this, reply] {
      Bytes request = peer.Read(kRequest.size(), 2000ms);
      peer.Write(request);  // the echo is not part of the sum
      peer.Write(reply);
    });
    engine.Execute(cmd);
    peer.Join();
    return callback.Last();
  };
  EXPECT_EQ(answer({0x10, 0x20, 0xD0}).status, DAE_OK);
  const CallbackEvent bad = answer({0x10, 0x21, 0xD0});
  EXPECT_EQ(bad.status, DAE_BAD_CHECKSUM);
  EXPECT_EQ(bad.data, (Bytes{0x10, 0x21, 0xD0}));
  EXPECT_EQ(answer({0xD0, 0x10, 0x20}).status, DAE_OK);  // order does not matter to a sum
  EXPECT_EQ(answer({0x00, 0x10, 0x20}).status, DAE_BAD_CHECKSUM);
  // Without the flag the same bytes are taken as they are.
  cmd->flags = kSendReadReply;
  EXPECT_EQ(answer({0x00, 0x10, 0x20}).status, DAE_OK);
}

TEST_F(EngineTest, SizesBeyondTheLimitFailWithoutAllocatingOrTouchingThePort) {
  ADXCSendCommand* huge = Send("huge", kRequest, 0x7FFFFFFF);
  EXPECT_EQ(engine.Execute(huge), 0);
  ASSERT_EQ(callback.Names(), (std::vector<std::string>{"SendBegin", "SendEnd"}));
  EXPECT_EQ(callback.Last().status, DAE_SIZE_LIMIT);
  EXPECT_EQ(callback.Last().count, 0u);
  EXPECT_TRUE(peer.Read(1, 100ms).empty());  // nothing was written

  ADXCSendCommand* largest = Send("largest", {}, kMaxPacketBytes, kSendReadReply, 50);
  engine.Execute(largest);
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);  // allowed: read, and timed out

  ADXC160BaudListen* slow = Slow(kMaxPacketBytes + 1);
  EXPECT_EQ(engine.Execute(slow), 0);
  EXPECT_EQ(callback.Last().name, "160End");
  EXPECT_EQ(callback.Last().status, DAE_SIZE_LIMIT);
  EXPECT_EQ(callback.Last().count, 0u);
}

TEST_F(EngineTest, SendSkipsTheEchoBeforeTheReply) {
  engine.SetEcho(true);
  ADXCSendCommand* cmd = Send("req", kRequest, 3);
  peer.After(0ms, [&] {
    Bytes request = peer.Read(kRequest.size(), 2000ms);
    peer.Write(request);  // the link's echo
    peer.Write({0xAA, 0xBB, 0xCC});
  });
  EXPECT_EQ(engine.Execute(cmd), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, (Bytes{0xAA, 0xBB, 0xCC}));
}

TEST_F(EngineTest, ShortEchoEndsTheCommandWithoutReadingTheReply) {
  engine.SetEcho(true);
  ADXCSendCommand* cmd = Send("req", kRequest, 3, kSendReadReply, 1000);
  peer.After(0ms, [&] {
    peer.Read(kRequest.size(), 2000ms);
    peer.Write({0xF4, 0x57});  // two of five echo bytes
  });
  // The reply comes well after the echo read gave up (interval 75 ms).
  peer.After(400ms, [&] { peer.Write({1, 2, 3}); });
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(cmd), 0);
  double ms = MsSince(start);
  peer.Join();
  EXPECT_LT(ms, 350.0);
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);
  EXPECT_EQ(callback.Last().count, 2u);
}

TEST_F(EngineTest, ShortReplyReportsWhatCame) {
  ADXCSendCommand* cmd = Send("req", kRequest, 6, kSendReadReply, 300);
  peer.After(0ms, [&] {
    peer.Read(kRequest.size(), 2000ms);
    peer.Write({9, 8});
  });
  EXPECT_EQ(engine.Execute(cmd), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);
  EXPECT_EQ(callback.Last().count, 2u);

  // Nothing at all: the reply time-out ends the read.
  callback.events.clear();
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(cmd), 0);
  double ms = MsSince(start);
  EXPECT_GE(ms, 295.0);
  EXPECT_LT(ms, 800.0);
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);
  EXPECT_EQ(callback.Last().count, 0u);
}

TEST_F(EngineTest, UnprocessedReplyIsDroppedByTheNextPurge) {
  engine.SetEcho(true);
  // Bit 0 clear: written, nothing read (not even the echo), written count reported.
  ADXCSendCommand* blind = Send("blind", kRequest, 4, 0);
  peer.After(0ms, [&] {
    Bytes request = peer.Read(kRequest.size(), 2000ms);
    peer.Write(request);
    peer.Write({0xDE, 0xAD, 0xBE, 0xEF});
  });
  EXPECT_EQ(engine.Execute(blind), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().count, kRequest.size());
  ASSERT_TRUE(callback.Last().hasData);  // the buffer covers the reported count

  std::this_thread::sleep_for(50ms);  // the stale reply is waiting in the driver
  engine.SetEcho(false);
  ADXCSendCommand* cmd = Send("req", {0x01}, 2);
  peer.After(0ms, [&] {
    peer.Read(1, 2000ms);
    peer.Write({0x11, 0x22});
  });
  EXPECT_EQ(engine.Execute(cmd), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, (Bytes{0x11, 0x22}));
}

TEST_F(EngineTest, EmptyByteStringWritesNothingAndStillReads) {
  ADXCSendCommand* listen = Send("listen", {}, 2);
  peer.After(50ms, [&] { peer.Write({0x55, 0x66}); });
  EXPECT_EQ(engine.Execute(listen), 0);
  peer.Join();
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, (Bytes{0x55, 0x66}));
  EXPECT_TRUE(peer.Read(1, 50ms).empty());

  ADXCSendCommand* nothing = Send("nothing", {}, 0, 0);
  EXPECT_EQ(engine.Execute(nothing), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().count, 0u);
}

TEST_F(EngineTest, SendResultsComeFromTheCallback) {
  ADXCSendCommand* cmd = Send("req", kRequest, 1, kSendReadReply, 100);
  callback.results["SendBegin"] = -7;
  EXPECT_EQ(engine.Execute(cmd), -7);
  EXPECT_EQ(callback.Names(), std::vector<std::string>{"SendBegin"});
  EXPECT_TRUE(peer.Read(1, 50ms).empty());  // cancelled before the write

  callback.results.clear();
  callback.results["SendEnd"] = -3;
  EXPECT_EQ(engine.Execute(cmd), -3);
}

TEST_F(EngineTest, AbortBeforeTheReplyReadEndsTheSend) {
  ADXCSendCommand* cmd = Send("req", kRequest, 4, kSendReadReply, 2000);
  callback.hook = [&](const CallbackEvent& e) {
    if (e.name == "SendBegin") engine.RequestAbort();
  };
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(cmd), 0);
  EXPECT_LT(MsSince(start), 1000.0);
  EXPECT_EQ(callback.Last().status, DAE_ABORTED);
  EXPECT_EQ(callback.Last().count, kRequest.size());
  EXPECT_FALSE(engine.AbortRequested());  // the send took the request
}

TEST_F(EngineTest, VanishedPortEndsTheConnection) {
  ADXCSendCommand* cmd = Send("req", kRequest, 4, kSendReadReply, 5000);
  peer.After(50ms, [&] { peer.Hangup(); });
  auto start = Clock::now();
  EXPECT_EQ(engine.Execute(cmd), 0);
  peer.Join();
  EXPECT_LT(MsSince(start), 2000.0);
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);

  // Every further command fails at once instead of spinning on a dead line.
  start = Clock::now();
  EXPECT_EQ(engine.Execute(cmd), E_FAIL);
  EXPECT_EQ(engine.Execute(Silence(100, 1000)), E_FAIL);
  EXPECT_LT(MsSince(start), 100.0);
}

}  // namespace
