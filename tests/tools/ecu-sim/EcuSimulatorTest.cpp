// The simulator on a real pseudo-terminal: what a host at the other end of
// the line sees, with faults injected from the test thread while it runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <thread>

#include "tests/tools/ecu-sim/LineClient.h"
#include "tests/tools/ecu-sim/SlowLinkReader.h"
#include "tools/ecu-sim/EcuSimulator.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const Bytes kConnect = {0xF4, 0x56, 0x08, 0xAE};
const Bytes kData = {0xF4, 0x57, 0x01, 0x00, 0xB4};
constexpr auto kWait = 2000ms;  // generous: the machine may be busy
constexpr auto kQuiet = 250ms;  // long enough to be sure nothing more comes

Bytes cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

EcuScenario echoScenario() {
  EcuScenario s;
  s.echo = true;
  s.addExchange("connect", kConnect, kConnect);
  Exchange& data = s.addExchange("data", kData, Bytes{0xF4, 0x92, 0x01}, true);
  data.reply.resize(13, 0x00);
  data.fields.push_back({3, 2, true, FieldShape::Ramp, 0, 60000, 60000, 0});  // counts milliseconds
  return s;
}

class Simulated : public ::testing::Test {
 protected:
  void start(EcuScenario scenario) {
    sim = std::make_unique<EcuSimulator>(std::move(scenario));
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
    client = std::make_unique<LineClient>(sim->slavePath());
    ASSERT_TRUE(client->isOpen());
  }
  // Sends a request and reads the echo and the reply.
  Bytes ask(const Bytes& request, std::size_t replySize) {
    client->write(request);
    return client->read(request.size() + replySize, kWait);
  }
  std::unique_ptr<EcuSimulator> sim;
  std::unique_ptr<LineClient> client;
};

TEST_F(Simulated, EchoesAndAnswersOverTheTerminal) {
  start(echoScenario());
  EXPECT_EQ(ask(kConnect, 4), cat(kConnect, kConnect));
  EXPECT_TRUE(sim->waitForRequests(1, kWait));

  Bytes first = ask(kData, 14);
  ASSERT_EQ(first.size(), 19u);
  EXPECT_EQ(Bytes(first.begin(), first.begin() + 5), kData);
  EXPECT_EQ(std::accumulate(first.begin() + 5, first.end(), 0u) & 0xFF, 0u);
  std::this_thread::sleep_for(50ms);
  Bytes second = ask(kData, 14);
  ASSERT_EQ(second.size(), 19u);
  // The dynamic field has moved on between the two replies.
  int a = first[8] * 256 + first[9], b = second[8] * 256 + second[9];
  EXPECT_GE(b - a, 40);

  EXPECT_EQ(sim->receivedBytes(), cat(cat(kConnect, kData), kData));
  EXPECT_EQ(sim->requestsSeen(), 3u);
  EXPECT_EQ(sim->repliesSent(), 3u);
  EXPECT_TRUE(sim->waitForIdle(kWait));
  EXPECT_EQ(sim->bytesSent(), 8u + 19u + 19u);
}

TEST_F(Simulated, FaultsInjectedWhileRunning) {
  start(echoScenario());
  sim->dropReplies(1);
  EXPECT_EQ(ask(kConnect, 0), kConnect);  // only the echo
  EXPECT_TRUE(client->read(1, kQuiet).empty());
  EXPECT_EQ(ask(kConnect, 4), cat(kConnect, kConnect));

  sim->shortenReplies(1, 3);
  EXPECT_EQ(ask(kData, 3).size(), 8u);
  EXPECT_TRUE(client->read(1, kQuiet).empty());

  sim->corruptChecksums(1);
  Bytes bad = ask(kData, 14);
  ASSERT_EQ(bad.size(), 19u);
  EXPECT_NE(std::accumulate(bad.begin() + 5, bad.end(), 0u) & 0xFF, 0u);

  sim->sendGarbage({0x13, 0x37});
  EXPECT_EQ(client->read(2, kWait), (Bytes{0x13, 0x37}));

  // Delays between bytes: a host with a 75 ms gap limit would give up.
  sim->setByteDelay(100ms);
  ASSERT_TRUE(client->write(kConnect));
  EXPECT_EQ(client->read(4, kWait), kConnect);  // the echo is not delayed
  auto times = client->arrivalTimes(4, kWait);
  ASSERT_EQ(times.size(), 4u);
  // Gaps are measured at the reader, whose wake-ups jitter on a busy machine.
  for (std::size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 50ms);
  EXPECT_GE(times.back() - times.front(), 250ms);
  sim->setByteDelay(0ms);
  EXPECT_EQ(ask(kConnect, 4).size(), 8u);
}

TEST_F(Simulated, AFaultPostedBeforeARequestAlwaysAppliesToIt) {
  start(echoScenario());
  auto sum = [](const Bytes& b) { return std::accumulate(b.begin() + 5, b.end(), 0u) & 0xFF; };
  for (int i = 0; i < 30; ++i) {
    sim->corruptChecksums(1);
    Bytes bad = ask(kData, 14);
    ASSERT_EQ(bad.size(), 19u);
    EXPECT_NE(sum(bad), 0u) << "round " << i;
    Bytes good = ask(kData, 14);
    ASSERT_EQ(good.size(), 19u);
    EXPECT_EQ(sum(good), 0u) << "round " << i;
  }
}

TEST(EcuSimulator, FaultsPostedBeforeStartApplyFromTheFirstByte) {
  EcuSimulator sim(echoScenario());
  sim.shortenReplies(1, 2);
  ASSERT_TRUE(sim.start());
  LineClient client(sim.slavePath());
  client.write(kConnect);
  EXPECT_EQ(client.read(6, kWait), cat(kConnect, {0xF4, 0x56}));
  EXPECT_TRUE(client.read(1, kQuiet).empty());
}

TEST_F(Simulated, ClosingItsSideMidReply) {
  start(echoScenario());
  sim->closeAfter(5 + 6);  // the echo and 6 bytes of the reply
  client->write(kData);
  Bytes got = client->read(19, kWait);
  EXPECT_EQ(got.size(), 11u);
  EXPECT_TRUE(client->failed);  // the host sees the line drop
  for (int i = 0; i < 100 && sim->isRunning(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(sim->isRunning());
  EXPECT_TRUE(sim->isClosed());
}

TEST_F(Simulated, ChatterSilenceAndStopChatter) {
  EcuScenario s;
  s.chatter = true;
  Exchange& quiet = s.addExchange("quiet", {0x08}, {0x08});
  quiet.chatter = ChatterControl::Stop;
  s.script.push_back({ActionKind::Repeat, {0xAA}, 0, 300, 50, {}});
  s.script.push_back({ActionKind::Silence, {}, 0, 400, 0, {}});
  s.script.push_back({ActionKind::Send, {0xBB}, 0, 0, 0, {}});
  s.script.push_back({ActionKind::Repeat, {0xCC}, 0, 5000, 20, {}});
  start(std::move(s));

  // The repeat sends 0xAA every 50 ms for 300 ms; 400 ms of silence follow,
  // then 0xBB.
  Bytes seen;
  std::vector<std::chrono::steady_clock::time_point> times;
  while (seen.empty() || seen.back() != 0xBB) {
    Bytes one = client->read(1, kWait);
    ASSERT_EQ(one.size(), 1u);
    seen.push_back(one[0]);
    times.push_back(std::chrono::steady_clock::now());
  }
  ASSERT_GE(seen.size(), 5u);
  EXPECT_LE(seen.size(), 8u);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 0xAA), static_cast<long>(seen.size() - 1));
  EXPECT_GE(times.back() - times[times.size() - 2], 300ms);
  EXPECT_EQ(client->read(3, kWait), Bytes(3, 0xCC));
  client->write({0x08});
  EXPECT_TRUE(sim->waitForRequests(1, kWait));
  std::this_thread::sleep_for(100ms);
  client->purge();
  EXPECT_TRUE(client->read(1, kQuiet).empty());
  EXPECT_TRUE(sim->waitForIdle(kWait));

  sim->setChatter(true);
  EXPECT_EQ(client->read(1, kWait), Bytes{0xAA});
}

TEST_F(Simulated, StrictBaudIgnoresRequestsAtTheWrongSpeed) {
  EcuScenario s = echoScenario();
  s.strictBaud = true;
  start(std::move(s));
  ASSERT_TRUE(client->setSpeed(9600));
  EXPECT_EQ(ask(kConnect, 0), kConnect);  // the host still hears itself
  EXPECT_TRUE(client->read(1, kQuiet).empty());
  EXPECT_EQ(sim->clientBaud(), 9600u);
  ASSERT_TRUE(client->setSpeed(8192));
  EXPECT_EQ(ask(kConnect, 4), cat(kConnect, kConnect));
  EXPECT_EQ(sim->clientBaud(), 8192u);
  EXPECT_EQ(sim->requestsSeen(), 1u);
}

TEST_F(Simulated, SlowLinkPacketReachesTheHost) {
  EcuScenario s;
  s.chatter = true;
  s.script.push_back({ActionKind::Packet160, {0x5A, 0xFF, 0x00}, 0, 0, 0, {}});
  start(std::move(s));
  Bytes stream = client->read(1 + 9 + 27, kWait);
  SlowLinkRead r = readSlowLink(stream, 3);
  EXPECT_TRUE(r.synced);
  EXPECT_EQ(r.badWords, 0);
  EXPECT_EQ(r.data, (Bytes{0x5A, 0xFF, 0x00}));
}

TEST(EcuSimulator, LifecycleAndRefusals) {
  EcuScenario bad;
  bad.addExchange("x", {}, {0x01});
  EcuSimulator refused(bad);
  std::string error;
  EXPECT_FALSE(refused.start(&error));
  EXPECT_NE(error.find("request is empty"), std::string::npos) << error;
  EXPECT_TRUE(refused.slavePath().empty());
  EXPECT_FALSE(refused.isRunning());

  EcuSimulator a(echoScenario()), b(echoScenario());
  ASSERT_TRUE(a.start());
  ASSERT_TRUE(b.start());
  EXPECT_NE(a.slavePath(), b.slavePath());
  EXPECT_FALSE(a.start(&error));
  EXPECT_NE(error.find("already started"), std::string::npos);
  {
    LineClient client(a.slavePath());
    ASSERT_TRUE(client.isOpen());
    a.stop();
    a.stop();
    EXPECT_FALSE(a.isRunning());
    EXPECT_TRUE(a.isClosed());
    client.write(kConnect);
    EXPECT_TRUE(client.read(1, kQuiet).empty());
  }
  // b is stopped by its destructor while a host still holds the port open.
  LineClient late(b.slavePath());
  EXPECT_TRUE(late.isOpen());
}

TEST_F(Simulated, FaultsFromAnotherThreadDuringTraffic) {
  start(echoScenario());
  std::atomic<bool> done{false};
  std::thread injector([&] {
    while (!done.load()) {
      sim->corruptChecksums(1);
      sim->setByteDelay(0ms);
      (void)sim->repliesSent();
      (void)sim->receivedBytes();
      std::this_thread::sleep_for(1ms);
    }
  });
  for (int i = 0; i < 20; ++i) EXPECT_EQ(ask(kData, 14).size(), 19u);
  done = true;
  injector.join();
  EXPECT_EQ(sim->requestsSeen(), 20u);
}

}  // namespace
