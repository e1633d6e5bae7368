// The engine against the simulated ECU: whole exchanges over a pseudo-terminal
// with the link's echo, replies with checksums, 160-baud packets and faults.
#include <gtest/gtest.h>

#include "acquisition/DataAcqEngine.h"
#include "definition/ADXCommands.h"
#include "tests/acquisition/RecordingCallback.h"
#include "tools/ecu-sim/EcuSimulator.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

const Bytes kRequest = {0xF4, 0x57, 0x01, 0x00, 0xB4};
const Bytes kReplyBody = {0xF4, 0x92, 0x01, 0x10, 0x20, 0x30};

class EngineSimulatorTest : public ::testing::Test {
 protected:
  // Starts the simulator and opens the engine on it.
  void Start(EcuScenario scenario) {
    ASSERT_EQ(scenario.validate(), "");
    sim = std::make_unique<EcuSimulator>(std::move(scenario));
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
    engine.SetCallback(&callback);
    engine.SetEcho(echo);
    ASSERT_NE(engine.Open(sim->slavePath().c_str(), 8192), 0);
  }

  static EcuScenario Scenario(bool echo) {
    EcuScenario scenario;
    scenario.echo = echo;
    scenario.addExchange("data", kRequest, kReplyBody, true);
    return scenario;
  }

  ADXCSendCommand* Request(int replyTimeout = 500) {
    send.SetId("req");
    send.SetByteString(kRequest.data(), kRequest.size());
    send.replysize = static_cast<int>(kReplyBody.size()) + 1;
    send.replytimeout = replyTimeout;
    send.flags = kSendReadReply;
    return &send;
  }

  bool echo = true;
  ADXCSendCommand send;
  RecordingCallback callback;
  DataAcqEngine engine;
  std::unique_ptr<EcuSimulator> sim;
};

Bytes WithChecksum(Bytes body) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : body) sum = static_cast<std::uint8_t>(sum + b);
  body.push_back(static_cast<std::uint8_t>(0x100 - sum));
  return body;
}

TEST_F(EngineSimulatorTest, RepeatedExchangesWithEcho) {
  Start(Scenario(true));
  ADXMacro macro;
  macro.SetId("monitor");
  macro.repeatcount = 10;
  MacroNode node;
  node.SetCommand(Request());
  node.repeatcount = 2;
  macro.AppendNode(node);
  EXPECT_EQ(engine.Execute(&macro), 0);
  int good = 0;
  for (const auto& e : callback.events) {
    if (e.name != "SendEnd") continue;
    EXPECT_EQ(e.status, DAE_OK);
    EXPECT_EQ(e.data, WithChecksum(kReplyBody));
    ++good;
  }
  EXPECT_EQ(good, 20);
  EXPECT_EQ(sim->requestsSeen(), 20u);
}

TEST_F(EngineSimulatorTest, ExchangeWithoutEcho) {
  echo = false;
  Start(Scenario(false));
  EXPECT_EQ(engine.Execute(Request()), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, WithChecksum(kReplyBody));
}

TEST_F(EngineSimulatorTest, ShortAndDroppedReplies) {
  Start(Scenario(true));
  sim->shortenReplies(1, 3);
  EXPECT_EQ(engine.Execute(Request(200)), 0);
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);
  EXPECT_EQ(callback.Last().count, 3u);

  sim->dropReplies(1);
  EXPECT_EQ(engine.Execute(Request(200)), 0);
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);
  EXPECT_EQ(callback.Last().count, 0u);

  // The link recovers with the next request.
  EXPECT_EQ(engine.Execute(Request(200)), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
}

TEST_F(EngineSimulatorTest, CorruptedChecksumsAreCaughtWhenVerified) {
  Start(Scenario(true));
  ADXCSendCommand* request = Request();
  request->flags = kSendReadReply | kSendVerifyChecksum;
  EXPECT_EQ(engine.Execute(request), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);  // the simulator's own checksums are right
  sim->corruptChecksums(2);
  EXPECT_EQ(engine.Execute(request), 0);
  EXPECT_EQ(callback.Last().status, DAE_BAD_CHECKSUM);
  EXPECT_EQ(engine.Execute(request), 0);
  EXPECT_EQ(callback.Last().status, DAE_BAD_CHECKSUM);
  EXPECT_EQ(engine.Execute(request), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
}

TEST_F(EngineSimulatorTest, SlowPacketFromTheScript) {
  echo = false;
  EcuScenario scenario;
  scenario.chatter = true;
  ScriptAction quiet;
  quiet.kind = ActionKind::Silence;
  quiet.durationMs = 100;
  ScriptAction packet;
  packet.kind = ActionKind::Packet160;
  packet.bytes = {0x5A, 0x00, 0xFF, 0x81};
  scenario.script = {quiet, packet};
  Start(scenario);
  ADXC160BaudListen listen;
  listen.SetId("slow");
  listen.packetsize = 4;
  EXPECT_EQ(engine.Execute(&listen), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
  EXPECT_EQ(callback.Last().data, (Bytes{0x5A, 0x00, 0xFF, 0x81}));
}

TEST_F(EngineSimulatorTest, ChatterFromTheScriptIsFound) {
  echo = false;
  EcuScenario scenario;
  scenario.chatter = true;
  scenario.loop = true;
  ScriptAction noise;
  noise.kind = ActionKind::Repeat;
  noise.bytes = {0x11, 0x22};
  noise.intervalMs = 10;
  noise.durationMs = 100;
  ScriptAction marker;
  marker.kind = ActionKind::Send;
  marker.bytes = {0x0A, 0xF0, 0x0B};
  scenario.script = {noise, marker};
  Start(scenario);
  ADXCListenChatter chatter;
  chatter.SetId("heartbeat");
  const Bytes wanted = {0x0A, 0xF0, 0x0B};
  chatter.SetByteString(wanted.data(), wanted.size());
  chatter.listentimeout = 2000;
  EXPECT_EQ(engine.Execute(&chatter), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
}

TEST_F(EngineSimulatorTest, LineClosingMidReplyEndsTheConnection) {
  Start(Scenario(true));
  EXPECT_EQ(engine.Execute(Request()), 0);
  EXPECT_EQ(callback.Last().status, DAE_OK);
  // The simulator's side closes after the echo and two reply bytes.
  sim->closeAfter(kRequest.size() + 2);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(engine.Execute(Request(5000)), 0);
  EXPECT_EQ(callback.Last().status, DAE_READ_SHORT);
  EXPECT_EQ(engine.Execute(Request(5000)), E_FAIL);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

}  // namespace
