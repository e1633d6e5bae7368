// Scan against the simulated ECU: the connect, monitor and disconnect
// sequence, the states it passes, stops in every phase, and faults on the link.
#include "tests/acquisition/control/LinkFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

bool EndsWith(const Bytes& bytes, const Bytes& tail) {
  return bytes.size() >= tail.size() && std::equal(tail.begin(), tail.end(), bytes.end() - tail.size());
}
bool StartsWith(const Bytes& bytes, const Bytes& head) {
  return bytes.size() >= head.size() && std::equal(head.begin(), head.end(), bytes.begin());
}
// The simulator notes bytes when its thread reads them, which may be after
// the port closed on this side: wait until the condition holds or time runs out.
template <typename Predicate>
Bytes ReceivedWhen(EcuSimulator& sim, Predicate predicate) {
  const auto end = std::chrono::steady_clock::now() + 2s;
  Bytes received = sim.receivedBytes();
  while (!predicate(received) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(5ms);
    received = sim.receivedBytes();
  }
  return received;
}

std::size_t CountOf(const Bytes& bytes, const Bytes& what) {
  std::size_t n = 0;
  for (std::size_t i = 0; i + what.size() <= bytes.size(); ++i)
    if (std::equal(what.begin(), what.end(), bytes.begin() + i)) ++n;
  return n;
}

TEST_F(LinkTest, ConnectMonitorThenDisconnectAfterTheUsersStop) {
  StartSimulator();
  MakeControl(sim->slavePath());
  control->ToggleConnection();
  EXPECT_TRUE(control->IsRunning());
  ASSERT_TRUE(display.WaitForPackets(6, 5s));
  EXPECT_EQ(control->GetConnectionState(), Connected);
  EXPECT_EQ(CountOf(sim->receivedBytes(), kDisconnectRequest), 0u);
  StopAndWait();

  EXPECT_EQ(control->GetConnectionState(), NotConnected);
  EXPECT_FALSE(control->IsRunning());
  EXPECT_FALSE(engine.Port()->IsOpen());
  const Bytes received = ReceivedWhen(*sim, [](const Bytes& b) { return EndsWith(b, kDisconnectRequest); });
  EXPECT_TRUE(StartsWith(received, kConnectRequest));
  EXPECT_TRUE(EndsWith(received, kDisconnectRequest));
  EXPECT_EQ(CountOf(received, kDisconnectRequest), 1u);
  EXPECT_GE(CountOf(received, kDataRequest), 5u);
  EXPECT_EQ(messages.Order(), std::vector<std::string>{"AcquisitionEnded"});
  // Every packet is the whole checked reply of the data command.
  const std::uint32_t dataHash = def.monitorcmd->idhash;
  for (const auto& u : display.Updates()) {
    if (u.commandIdHash != dataHash) continue;
    ASSERT_EQ(u.packet.size(), static_cast<std::size_t>(kDataReplySize));
    std::uint8_t sum = 0;
    for (std::uint8_t b : u.packet) sum = static_cast<std::uint8_t>(sum + b);
    EXPECT_EQ(sum, 0);
  }
  // Connecting came first, then connected, then not connected; the monitors
  // were reset at connect and the log was cleared.
  auto calls = display.Calls();
  EXPECT_EQ(calls.front(), "ClearOutputLog");
  EXPECT_EQ(calls[1], "ResetMonitors");
  EXPECT_EQ(control->ErrorCount(), 0);
  EXPECT_GE(control->SampleCount(), 6u);  // the connect reply is counted too
}

TEST_F(LinkTest, WithoutMonitorCommandOnlyTheConnectCommandRuns) {
  def.monitorcmd = nullptr;
  StartSimulator();
  MakeControl(sim->slavePath());
  control->ToggleConnection();
  ASSERT_TRUE(WaitForDone(5s));
  control->JoinWorkers();
  ReceivedWhen(*sim, [](const Bytes& b) { return b.size() >= kConnectRequest.size(); });
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(sim->receivedBytes(), kConnectRequest);
  EXPECT_FALSE(engine.Port()->IsOpen());
  EXPECT_EQ(control->GetConnectionState(), NotConnected);
  EXPECT_TRUE(LogHas(": Command/Reply Success"));
  EXPECT_EQ(display.PacketUpdates(), 1u);  // the connect reply
}

TEST_F(LinkTest, FailingMonitorCommandEndsWithoutDisconnect) {
  // A chatter command without bytes fails at once.
  auto broken = std::make_unique<ADXCListenChatter>();
  broken->SetId("BROKEN");
  def.monitorcmd = broken.get();
  def.Append(std::move(broken));
  StartSimulator();
  MakeControl(sim->slavePath());
  control->ToggleConnection();
  ASSERT_TRUE(WaitForDone(5s));
  control->JoinWorkers();
  ReceivedWhen(*sim, [](const Bytes& b) { return b.size() >= kConnectRequest.size(); });
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(sim->receivedBytes(), kConnectRequest);
}

TEST_F(LinkTest, PortThatCannotOpenRunsNothing) {
  MakeControl(temp.File("no-such-tty"));
  control->ToggleConnection();
  ASSERT_TRUE(WaitForDone(5s));
  control->JoinWorkers();
  EXPECT_TRUE(control->LastOpenFailed());
  const std::string text =
      "Unable to open port (" + temp.File("no-such-tty") + "): No such file or directory";
  EXPECT_TRUE(LogHas(text));
  EXPECT_EQ(control->OpenFailureText(), text);
  EXPECT_EQ(messages.Count("PortOpenFailed " + text), 1u);
  EXPECT_EQ(control->GetConnectionState(), NotConnected);
  EXPECT_EQ(display.Updates().size(), 0u);
  // A later stop does not block, and a connection can start again.
  control->StartControlThread(AcquisitionControl::kStopAcquisition);
  EXPECT_TRUE(messages.WaitFor("AcquisitionEnded", 1, 2s));
}

TEST_F(LinkTest, SecondStopDoesNotBlockAndBitsRunInOrder) {
  StartSimulator();
  MakeControl(sim->slavePath());
  control->ToggleConnection();
  ASSERT_TRUE(display.WaitForPackets(1, 5s));
  StopAndWait();
  control->StartControlThread(AcquisitionControl::kStopAcquisition);
  EXPECT_TRUE(messages.WaitFor("AcquisitionEnded", 2, 2s));
  control->StartControlThread(AcquisitionControl::kStopAcquisition | AcquisitionControl::kStopDatalog |
                              AcquisitionControl::kCloseWindow);
  EXPECT_TRUE(messages.WaitFor("CloseWindow", 1, 2s));
  control->JoinWorkers();
  EXPECT_EQ(messages.Order(), (std::vector<std::string>{"AcquisitionEnded", "AcquisitionEnded",
                                                        "AcquisitionEnded", "DatalogEnded", "CloseWindow"}));
  // The connection can be made again after all that.
  control->ToggleConnection();
  ASSERT_TRUE(display.WaitForPackets(3, 5s));
  StopAndWait();
}

TEST_F(LinkTest, StopDuringChatterWaitEndsItWithinOneReadTimeout) {
  // The ECU chatters bytes that never match what the monitor command waits for.
  auto wait = std::make_unique<ADXCListenChatter>();
  wait->SetId("WAIT");
  const Bytes never = {0xAA, 0x55};
  wait->SetByteString(never.data(), never.size());
  wait->listentimeout = 20000;
  def.monitorcmd = wait.get();
  def.Append(std::move(wait));
  EcuScenario scenario = MakeScenario();
  scenario.chatter = true;
  ScriptAction noise;
  noise.kind = ActionKind::Repeat;
  noise.bytes = {0x11};
  noise.intervalMs = 20;
  noise.durationMs = 600000;
  scenario.script = {noise};
  StartSimulator(scenario);
  MakeControl(sim->slavePath());
  control->ToggleConnection();
  const auto deadline = Clock::now() + 5s;
  while (!LogHas("Looking for chatter...") && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
  ASSERT_TRUE(LogHas("Looking for chatter..."));
  std::this_thread::sleep_for(100ms);
  const auto stop = Clock::now();
  StopAndWait();
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - stop).count();
  // One read time-out (300 ms) plus the disconnect exchange, far from 20 s.
  EXPECT_LT(ms, 2000.0);
  EXPECT_TRUE(LogHas("CHATTER NOT FOUND"));
  EXPECT_FALSE(LogHas("Chatter found"));
  ReceivedWhen(*sim, [](const Bytes& b) { return EndsWith(b, kDisconnectRequest); });
  EXPECT_TRUE(EndsWith(sim->receivedBytes(), kDisconnectRequest));
}

TEST_F(LinkTest, FaultsAreCountedAndTheScanGoesOn) {
  StartSimulator();
  MakeControl(sim->slavePath());
  control->ToggleConnection();
  ASSERT_TRUE(display.WaitForPackets(3, 5s));
  ASSERT_EQ(control->GetConnectionState(), Connected);
  sim->dropReplies(2);
  sim->shortenReplies(2, 4);
  const std::size_t before = display.PacketUpdates();
  ASSERT_TRUE(display.WaitForPackets(before + 3, 10s));
  EXPECT_GE(control->ErrorCount(), 4);
  EXPECT_TRUE(LogHas("!!!!!!SEND COMMAND FAILURE (0x00000006)!!!!!!"));
  // Garbage on the line: whatever it does to the next replies, data flows again.
  sim->sendGarbage({0x01, 0x02, 0x03, 0xFF, 0x00});
  const std::size_t later = display.PacketUpdates();
  ASSERT_TRUE(display.WaitForPackets(later + 5, 10s));
  const auto stop = Clock::now();
  StopAndWait();
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - stop).count();
  EXPECT_LT(ms, 2000.0);
}

TEST_F(LinkTest, VanishedPortEndsTheConnection) {
  StartSimulator();
  MakeControl(sim->slavePath());
  control->ToggleConnection();
  ASSERT_TRUE(display.WaitForPackets(2, 5s));
  sim->closeAfter(0);
  ASSERT_TRUE(WaitForDone(5s));
  EXPECT_EQ(control->GetConnectionState(), NotConnected);
  EXPECT_FALSE(engine.Port()->IsOpen());
  control->StartControlThread(AcquisitionControl::kStopAcquisition);
  EXPECT_TRUE(messages.WaitFor("AcquisitionEnded", 1, 2s));
  control->JoinWorkers();
}

}  // namespace
