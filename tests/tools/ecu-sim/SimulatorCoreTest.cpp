// The simulated ECU's behaviour on a test clock: echo, request matching,
// replies and their timing, pacing, the script and every fault.

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

#include "tests/tools/ecu-sim/SlowLinkReader.h"
#include "tools/ecu-sim/SimulatorCore.h"
#include "tools/ecu-sim/SlowLinkCoding.h"

namespace {

using namespace std::chrono_literals;
using TP = SimulatorCore::TimePoint;

const TP t0 = TP{} + 1000s;

const EcuBytes kConnect = {0xF4, 0x56, 0x08, 0xAE};
const EcuBytes kData = {0xF4, 0x57, 0x01, 0x00, 0xB4};

EcuBytes cat(EcuBytes a, const EcuBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

unsigned sum(const EcuBytes& bytes) {
  return std::accumulate(bytes.begin(), bytes.end(), 0u) & 0xFF;
}

// A scenario with a connect exchange and a data exchange of 3 header bytes,
// 10 payload bytes and a checksum.
EcuScenario basicScenario(bool echo) {
  EcuScenario s;
  s.echo = echo;
  s.addExchange("connect", kConnect, kConnect);
  Exchange& data = s.addExchange("data", kData, EcuBytes{0xF4, 0x92, 0x01}, true);
  data.reply.resize(13, 0x00);
  return s;
}

TEST(SimulatorCore, EchoesEveryByteAndAnswersCompleteRequests) {
  EcuScenario s = basicScenario(true);
  SimulatorCore core(s, t0);
  // A request split over two reads, after stray bytes, is still recognised.
  core.receive(EcuBytes{0x11, 0xF4, 0x56}.data(), 3, t0);
  EXPECT_EQ(core.takeDue(t0), (EcuBytes{0x11, 0xF4, 0x56}));
  EXPECT_EQ(core.requestsSeen(), 0u);
  core.receive(EcuBytes{0x08, 0xAE}.data(), 2, t0);
  EXPECT_EQ(core.takeDue(t0), cat({0x08, 0xAE}, kConnect));
  EXPECT_EQ(core.requestsSeen(), 1u);
  EXPECT_EQ(core.repliesSent(), 1u);
  EXPECT_TRUE(core.idle());

  // The data reply carries its checksum.
  core.receive(kData.data(), kData.size(), t0);
  EcuBytes out = core.takeDue(t0);
  ASSERT_EQ(out.size(), kData.size() + 14);
  EcuBytes reply(out.begin() + static_cast<long>(kData.size()), out.end());
  EXPECT_EQ(reply[1], 0x92);
  EXPECT_EQ(sum(reply), 0u);
}

TEST(SimulatorCore, WithoutEchoOnlyRepliesGoOutAndUnknownBytesAreIgnored) {
  EcuScenario s = basicScenario(false);
  SimulatorCore core(s, t0);
  EcuBytes noise = {0xF4, 0x56, 0x09, 0xAD, 0x00};
  core.receive(noise.data(), noise.size(), t0);
  EXPECT_TRUE(core.takeDue(t0).empty());
  core.receive(kConnect.data(), kConnect.size(), t0);
  EXPECT_EQ(core.takeDue(t0), kConnect);
  // Bytes of an answered request are used up: its last byte alone does not
  // complete another request.
  core.receive(EcuBytes{0xAE}.data(), 1, t0);
  EXPECT_TRUE(core.takeDue(t0).empty());
  EXPECT_EQ(core.requestsSeen(), 1u);
}

TEST(SimulatorCore, BytesNotUnderstoodAreEchoedButNeverAnswered) {
  EcuScenario s = basicScenario(true);
  SimulatorCore core(s, t0);
  core.receive(kConnect.data(), kConnect.size(), t0, false);
  EXPECT_EQ(core.takeDue(t0), kConnect);
  // Noise in the middle of a request spoils it.
  core.receive(kConnect.data(), 2, t0);
  core.receive(kConnect.data() + 2, 1, t0, false);
  core.receive(kConnect.data() + 3, 1, t0);
  EXPECT_EQ(core.takeDue(t0), kConnect);
  EXPECT_EQ(core.requestsSeen(), 0u);
}

TEST(SimulatorCore, LongestMatchingRequestWins) {
  EcuScenario s;
  s.addExchange("short", {0x01}, {0xA1});
  s.addExchange("long", {0x00, 0x01}, {0xA2});
  SimulatorCore core(s, t0);
  core.receive(EcuBytes{0x00, 0x01}.data(), 2, t0);
  EXPECT_EQ(core.takeDue(t0), EcuBytes{0xA2});
  core.receive(EcuBytes{0x05, 0x01}.data(), 2, t0);
  EXPECT_EQ(core.takeDue(t0), EcuBytes{0xA1});
}

TEST(SimulatorCore, ReplyDelayHoldsTheReplyButNotTheEcho) {
  EcuScenario s = basicScenario(true);
  s.exchanges[0].delayMs = 20;
  SimulatorCore core(s, t0);
  core.receive(kConnect.data(), kConnect.size(), t0);
  EXPECT_EQ(core.takeDue(t0), kConnect);  // the echo
  EXPECT_EQ(core.nextWake(t0), t0 + 20ms);
  EXPECT_TRUE(core.takeDue(t0 + 19ms).empty());
  EXPECT_FALSE(core.idle());
  EXPECT_EQ(core.takeDue(t0 + 20ms), kConnect);
  EXPECT_EQ(core.nextWake(t0 + 20ms), TP::max());
}

TEST(SimulatorCore, PacingSpacesQueuedBytesByTenBitTimes) {
  EcuScenario s = basicScenario(true);
  s.baud = 1000;  // 10 ms per byte
  s.pace = true;
  SimulatorCore core(s, t0);
  core.receive(kConnect.data(), kConnect.size(), t0);
  EXPECT_EQ(core.takeDue(t0).size(), 5u);  // the whole echo and the first reply byte
  EXPECT_EQ(core.nextWake(t0), t0 + 10ms);
  EXPECT_TRUE(core.takeDue(t0 + 9ms).empty());
  EXPECT_EQ(core.takeDue(t0 + 25ms).size(), 2u);
  EXPECT_EQ(core.takeDue(t0 + 30ms).size(), 1u);
  EXPECT_TRUE(core.idle());
}

TEST(SimulatorCore, RequestsTalkingOverAReplyCollideOnTheSingleWire) {
  EcuScenario s = basicScenario(true);
  s.baud = 1000;  // 10 ms per byte
  s.pace = true;
  SimulatorCore core(s, t0);
  core.receive(kData.data(), kData.size(), t0);
  EXPECT_EQ(core.takeDue(t0).size(), 6u);  // echo and the first reply byte
  // A request while the reply is going out is heard as noise: echoed only.
  core.receive(kConnect.data(), kConnect.size(), t0 + 5ms);
  EXPECT_EQ(core.takeDue(t0 + 5ms), kConnect);
  EcuBytes rest = core.takeDue(t0 + 200ms);
  EXPECT_EQ(rest.size(), 13u);
  EXPECT_EQ(core.requestsSeen(), 1u);
  // Once the line is quiet again the same request is answered.
  core.receive(kConnect.data(), kConnect.size(), t0 + 200ms);
  EXPECT_EQ(core.takeDue(t0 + 200ms).size(), 5u);
  EXPECT_EQ(core.requestsSeen(), 2u);

  // Unpaced output takes no time: a request right behind garbage that is
  // still queued is answered.
  EcuScenario instant = basicScenario(true);
  SimulatorCore quick(instant, t0);
  quick.applyFault({FaultKind::Garbage, 0, 0, {0x55}}, t0);
  quick.receive(kConnect.data(), kConnect.size(), t0);
  EXPECT_EQ(quick.takeDue(t0).size(), 9u);
  EXPECT_EQ(quick.requestsSeen(), 1u);

  // Without echo the link has separate wires and nothing collides.
  EcuScenario duplex = basicScenario(false);
  duplex.baud = 1000;
  duplex.pace = true;
  SimulatorCore other(duplex, t0);
  other.receive(kData.data(), kData.size(), t0);
  other.takeDue(t0);
  other.receive(kConnect.data(), kConnect.size(), t0 + 5ms);
  EXPECT_EQ(other.requestsSeen(), 2u);
}

TEST(SimulatorCore, ScriptRepeatsSilencesAndSends) {
  EcuScenario s;
  s.chatter = true;
  s.script.push_back({ActionKind::Repeat, {0xAA}, 0, 100, 30, {}});
  s.script.push_back({ActionKind::Silence, {}, 0, 50, 0, {}});
  s.script.push_back({ActionKind::Send, {0xBB, 0xCC}, 0, 0, 0, {}});
  SimulatorCore core(s, t0);
  EcuBytes all;
  std::vector<int> times;
  // Step a millisecond clock and note when each byte goes out.
  for (int ms = 0; ms <= 200; ++ms) {
    EcuBytes out = core.takeDue(t0 + std::chrono::milliseconds(ms));
    for (std::uint8_t b : out) {
      all.push_back(b);
      times.push_back(ms);
    }
  }
  EXPECT_EQ(all, (EcuBytes{0xAA, 0xAA, 0xAA, 0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(times, (std::vector<int>{0, 30, 60, 90, 150, 150}));
  EXPECT_TRUE(core.idle());
  EXPECT_EQ(core.nextWake(t0 + 200ms), TP::max());
}

TEST(SimulatorCore, IdleDuringSilenceAndLoopingScriptStartsOver) {
  EcuScenario s;
  s.chatter = true;
  s.loop = true;
  s.script.push_back({ActionKind::Send, {0x55}, 0, 0, 0, {}});
  s.script.push_back({ActionKind::Silence, {}, 0, 40, 0, {}});
  SimulatorCore core(s, t0);
  EXPECT_EQ(core.takeDue(t0), EcuBytes{0x55});
  EXPECT_TRUE(core.idle());
  EXPECT_EQ(core.nextWake(t0), t0 + 40ms);
  EXPECT_TRUE(core.takeDue(t0 + 39ms).empty());
  EXPECT_EQ(core.takeDue(t0 + 40ms), EcuBytes{0x55});
  EXPECT_EQ(core.takeDue(t0 + 80ms), EcuBytes{0x55});
}

TEST(SimulatorCore, ExchangesStopAndStartTheScript) {
  EcuScenario s;
  s.chatter = false;
  s.loop = true;
  Exchange& stop = s.addExchange("stop", {0x08}, {0x08});
  stop.chatter = ChatterControl::Stop;
  Exchange& go = s.addExchange("go", {0x09}, {0x09});
  go.chatter = ChatterControl::Start;
  s.script.push_back({ActionKind::Repeat, {0xEE}, 0, 1000, 10, {}});
  SimulatorCore core(s, t0);
  EXPECT_TRUE(core.takeDue(t0 + 50ms).empty());  // held until asked
  core.receive(EcuBytes{0x09}.data(), 1, t0 + 50ms);
  EXPECT_EQ(core.takeDue(t0 + 50ms), (EcuBytes{0x09, 0xEE}));
  EXPECT_EQ(core.takeDue(t0 + 60ms), EcuBytes{0xEE});
  core.receive(EcuBytes{0x08}.data(), 1, t0 + 65ms);
  EXPECT_EQ(core.takeDue(t0 + 65ms), EcuBytes{0x08});
  EXPECT_TRUE(core.takeDue(t0 + 200ms).empty());
  EXPECT_TRUE(core.idle());
}

TEST(SimulatorCore, SlowLinkPacketsDecodeFromAnyStartingPoint) {
  // 0xFF becomes eight zero cells: two such packets back to back are the
  // hardest case for a reader that counts nine zeros to find the sync.
  EcuBytes first = {0xFF, 0xFF, 0x00, 0xA5};
  EcuBytes second = {0x12, 0xFF, 0x80, 0x01};
  EcuBytes stream = cat(encodeSlowLinkPacket(first), encodeSlowLinkPacket(second));
  ASSERT_EQ(stream.size(), 2 * (1 + 9 + 9 * 4));
  SlowLinkRead whole = readSlowLink(stream, 4);
  ASSERT_TRUE(whole.synced);
  EXPECT_EQ(whole.badWords, 0);
  EXPECT_EQ(whole.data, first);
  EXPECT_EQ(readSlowLink(EcuBytes(stream.begin() + static_cast<long>(whole.used), stream.end()), 4).data,
            second);
  // A reader that starts anywhere inside the first packet either reads it
  // whole or lands exactly on the second; it never decodes a shifted word.
  for (std::size_t start = 0; start < stream.size() / 2; ++start) {
    SlowLinkRead r = readSlowLink(EcuBytes(stream.begin() + static_cast<long>(start), stream.end()), 4);
    ASSERT_TRUE(r.synced) << "start " << start;
    EXPECT_EQ(r.badWords, 0) << "start " << start;
    EXPECT_TRUE(r.data == first || r.data == second) << "start " << start;
    EXPECT_EQ(r.data == first, start < 2) << "start " << start;
  }
}

TEST(SimulatorCore, ScriptSendsSlowLinkPackets) {
  EcuScenario s;
  s.chatter = true;
  s.script.push_back({ActionKind::Packet160, {0x3C, 0xC3}, 0, 0, 0, {}});
  SimulatorCore core(s, t0);
  EcuBytes out = core.takeDue(t0);
  EXPECT_EQ(out, encodeSlowLinkPacket({0x3C, 0xC3}));
  EXPECT_EQ(readSlowLink(out, 2).data, (EcuBytes{0x3C, 0xC3}));
}

TEST(SimulatorCore, SlowLinkPacketsCarryMovingReplies) {
  EcuScenario s;
  s.chatter = true;
  s.loop = true;
  Exchange& frame = s.addExchange("frame", {0x7F}, EcuBytes{0x10, 0x00}, true);
  frame.fields.push_back({1, 1, true, FieldShape::Ramp, 0, 250, 1000, 0});  // 1 per 4 ms
  s.script.push_back({ActionKind::Packet160Reply, {}, 0, 0, 0, {}});
  s.script.push_back({ActionKind::Silence, {}, 0, 100, 0, {}});
  SimulatorCore core(s, t0);
  SlowLinkRead first = readSlowLink(core.takeDue(t0), 3);
  core.applyFault({FaultKind::DropReplies, 1, 0, {}}, t0);
  EXPECT_TRUE(core.takeDue(t0 + 100ms).empty());  // the dropped packet
  SlowLinkRead third = readSlowLink(core.takeDue(t0 + 200ms), 3);
  ASSERT_TRUE(first.synced && third.synced);
  EXPECT_EQ(first.data, (EcuBytes{0x10, 0, 0xF0}));
  EXPECT_EQ(third.data[1], 50);
  EXPECT_EQ(std::accumulate(third.data.begin(), third.data.end(), 0u) & 0xFF, 0u);
}

class CoreFaults : public ::testing::Test {
 protected:
  CoreFaults() : scenario(basicScenario(false)), core(scenario, t0) {}
  EcuBytes ask(const EcuBytes& request, TP at = t0) {
    core.receive(request.data(), request.size(), at);
    return core.takeDue(at);
  }
  EcuScenario scenario;
  SimulatorCore core;
};

TEST_F(CoreFaults, DroppedShortAndBadChecksumRepliesAffectOnlyTheirCount) {
  core.applyFault({FaultKind::DropReplies, 2, 0, {}}, t0);
  EXPECT_TRUE(ask(kConnect).empty());
  EXPECT_TRUE(ask(kData).empty());
  EXPECT_EQ(ask(kConnect), kConnect);
  EXPECT_EQ(core.requestsSeen(), 3u);
  EXPECT_EQ(core.repliesSent(), 1u);

  core.applyFault({FaultKind::ShortReplies, 1, 5, {}}, t0);
  EXPECT_EQ(ask(kData).size(), 5u);
  EXPECT_EQ(ask(kData).size(), 14u);

  core.applyFault({FaultKind::BadChecksums, 1, 0, {}}, t0);
  EcuBytes bad = ask(kData);
  ASSERT_EQ(bad.size(), 14u);
  EXPECT_EQ(sum(bad), 1u);
  EXPECT_EQ(sum(ask(kData)), 0u);
}

TEST_F(CoreFaults, HugeCountsDoNotOverflow) {
  core.applyFault({FaultKind::DropReplies, std::numeric_limits<int>::max(), 0, {}}, t0);
  core.applyFault({FaultKind::DropReplies, std::numeric_limits<int>::max(), 0, {}}, t0);
  core.applyFault({FaultKind::DropReplies, -5, 0, {}}, t0);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(ask(kConnect).empty());
}

TEST_F(CoreFaults, GarbageGoesOutAfterWhatIsQueued) {
  scenario.exchanges[1].delayMs = 10;
  core.receive(kData.data(), kData.size(), t0);
  core.applyFault({FaultKind::Garbage, 0, 0, {0xDE, 0xAD}}, t0);
  EXPECT_TRUE(core.takeDue(t0).empty());
  EcuBytes out = core.takeDue(t0 + 10ms);
  ASSERT_EQ(out.size(), 16u);
  EXPECT_EQ(out[14], 0xDE);
  EXPECT_EQ(out[15], 0xAD);
}

TEST_F(CoreFaults, ByteDelaySpacesEveryByteUntilCleared) {
  core.applyFault({FaultKind::ByteDelay, 0, 100, {}}, t0);
  EXPECT_EQ(ask(kConnect).size(), 1u);
  EXPECT_TRUE(core.takeDue(t0 + 99ms).empty());
  EXPECT_EQ(core.takeDue(t0 + 100ms).size(), 1u);
  EXPECT_EQ(core.takeDue(t0 + 300ms).size(), 2u);
  core.applyFault({FaultKind::ByteDelay, 0, 0, {}}, t0 + 300ms);
  EXPECT_EQ(ask(kConnect, t0 + 400ms).size(), 4u);
}

TEST_F(CoreFaults, CloseAfterStopsOutputMidReply) {
  core.applyFault({FaultKind::CloseAfter, 0, 6, {}}, t0);
  EXPECT_EQ(ask(kConnect).size(), 4u);
  EXPECT_FALSE(core.shouldClose());
  EcuBytes cut = ask(kData);
  EXPECT_EQ(cut, (EcuBytes{0xF4, 0x92}));
  EXPECT_TRUE(core.shouldClose());
  EXPECT_TRUE(ask(kConnect).empty());
}

TEST_F(CoreFaults, CloseAtOnce) {
  core.applyFault({FaultKind::CloseAfter, 0, 0, {}}, t0);
  EXPECT_TRUE(core.shouldClose());
  EXPECT_EQ(core.nextWake(t0), t0);
  EXPECT_TRUE(ask(kConnect).empty());
}

TEST(SimulatorCore, ScriptedFaultsApplyToTheFollowingReplies) {
  EcuScenario s = basicScenario(false);
  s.chatter = true;
  FaultSpec drop{FaultKind::DropReplies, 1, 0, {}};
  s.script.push_back({ActionKind::Fault, {}, 0, 0, 0, drop});
  s.script.push_back({ActionKind::SendReply, {}, 1, 0, 0, {}});
  s.script.push_back({ActionKind::SendReply, {}, 1, 0, 0, {}});
  SimulatorCore core(s, t0);
  EcuBytes out = core.takeDue(t0);
  ASSERT_EQ(out.size(), 14u);  // the first reply was dropped
  EXPECT_EQ(sum(out), 0u);
}

}  // namespace
