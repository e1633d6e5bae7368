// Live telemetry against a real mosquitto broker on 127.0.0.1: the messages
// carry exactly the decoded numbers, the status topic says online and then
// offline, the last will speaks for a killed scan, and a broker that is
// absent or goes away mid-scan costs the scan nothing and is found again.
#include <clocale>
#include <cmath>
#include <limits>
#include <map>

#include "datalog/DataLogFile.h"
#include "session/Session.h"
#include "telemetry/LiveTelemetry.h"
#include "tests/acquisition/control/LinkFixture.h"
#include "tests/support/ResultPrinting.h"
#include "tests/telemetry/MosquittoBroker.h"

namespace {

// The full packets the session decoded, with their times.
class PacketCollector : public IPacketSink {
 public:
  struct Packet {
    double time;
    std::uint32_t hash;
    Bytes bytes;
  };
  void OnPacket(const PacketEvent& event) override {
    if (!event.IsFullPacket()) return;
    std::lock_guard<std::mutex> guard(mutex_);
    packets_.push_back(
        {event.timeSeconds, event.commandIdHash, Bytes(event.packet, event.packet + event.length)});
  }
  std::vector<Packet> Packets() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return packets_;
  }
  std::size_t Count() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return packets_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Packet> packets_;
};

// The members of a flat JSON object of numbers, in order ("null" kept as text).
std::vector<std::pair<std::string, std::string>> Members(const std::string& json) {
  std::vector<std::pair<std::string, std::string>> members;
  if (json.size() < 2 || json.front() != '{' || json.back() != '}') return members;
  std::size_t i = 1;
  while (i < json.size() - 1) {
    const std::size_t keyEnd = json.find('"', i + 1);
    const std::size_t valueEnd = std::min(json.find(',', keyEnd), json.size() - 1);
    members.emplace_back(json.substr(i + 1, keyEnd - i - 1), json.substr(keyEnd + 2, valueEnd - keyEnd - 2));
    i = valueEnd + 1;
  }
  return members;
}

double Number(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

class TelemetryTest : public LinkTest {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(broker.Start(&error)) << error;
    definitionPath = temp.File("ecu.adx");
    ASSERT_EQ(SaveAdx(&def, definitionPath.c_str(), nullptr), 1);
    ASSERT_TRUE(session.LoadDefinition(definitionPath, DefinitionFormat::Adx).ok);
    session.AttachSink(&collector);
  }
  void TearDown() override {
    session.StopScan();
    session.JoinWorkers();
    session.DetachSink(&collector);
  }
  MqttAddress Broker() const { return MqttAddress{"127.0.0.1", broker.Port()}; }
  void StartScan() {
    StartSimulator();
    session.SetPort(sim->slavePath());
    session.ToggleConnection();
  }
  bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(10ms);
    return condition();
  }
  std::function<void(const std::string&)> Note() {
    return [this](const std::string& text) {
      std::lock_guard<std::mutex> guard(notesMutex);
      notes.push_back(text);
    };
  }
  bool NoteSays(const std::string& text) {
    std::lock_guard<std::mutex> guard(notesMutex);
    for (const auto& n : notes)
      if (n.find(text) != std::string::npos) return true;
    return false;
  }

  MosquittoBroker broker{temp.Path()};
  std::string definitionPath;
  Session session;
  PacketCollector collector;
  std::mutex notesMutex;
  std::vector<std::string> notes;
};

TEST_F(TelemetryTest, MessagesCarryTheDecodedNumbersAndTheStatusFollowsTheSession) {
  // Numbers go out the same under a comma locale.
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  MqttSubscriber subscriber(broker.Port(), "varnak/car1/#");
  ASSERT_TRUE(subscriber.Ok());
  ASSERT_TRUE(subscriber.WaitSubscribed(5s));
  auto telemetry = std::make_unique<LiveTelemetry>(session, Broker(), "car1", Note());
  ASSERT_TRUE(WaitFor([&] { return telemetry->Publisher().Connected(); }, 5s));
  StartScan();
  ASSERT_TRUE(
      subscriber.WaitFor([&] { return subscriber.Payloads("varnak/car1/values").size() >= 25; }, 10s));
  session.StopScan();
  session.JoinWorkers();
  telemetry.reset();
  ASSERT_TRUE(subscriber.WaitFor(
      [&] {
        const auto s = subscriber.Payloads("varnak/car1/status");
        return !s.empty() && s.back() == "offline";
      },
      5s));
  std::setlocale(LC_NUMERIC, previous.c_str());

  EXPECT_EQ(subscriber.Payloads("varnak/car1/status"), (std::vector<std::string>{"online", "offline"}));
  std::map<double, PacketCollector::Packet> byTime;
  for (const auto& p : collector.Packets()) byTime[p.time] = p;
  const auto values = subscriber.Payloads("varnak/car1/values");
  std::size_t dataMessages = 0;
  for (const std::string& message : values) {
    const auto members = Members(message);
    ASSERT_EQ(members.size(), 5u) << message;
    std::vector<std::string> keys;
    for (const auto& m : members) keys.push_back(m.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"time", "RPM", "TPS", "INJ", "FAN"}));
    // Every message belongs to a packet, found by its exact time.
    const auto found = byTime.find(Number(members[0].second));
    ASSERT_NE(found, byTime.end()) << message;
    if (found->second.hash != def.monitorcmd->idhash) continue;
    ++dataMessages;
    const Bytes& b = found->second.bytes;
    EXPECT_DOUBLE_EQ(Number(members[1].second), b[3] * 25.0) << message;
    EXPECT_DOUBLE_EQ(Number(members[2].second), b[4] / 2.55) << message;
    EXPECT_DOUBLE_EQ(Number(members[3].second), ((b[6] << 8) | b[7]) * 0.001) << message;
    EXPECT_EQ(members[4].second, (b[5] & 0x10) != 0 ? "1" : "0") << message;
  }
  EXPECT_GE(dataMessages, 20u);
}

TEST_F(TelemetryTest, TheLastWillSpeaksForAKilledScan) {
  StartSimulator();
  MqttSubscriber subscriber(broker.Port(), "varnak/killed/status");
  ASSERT_TRUE(subscriber.WaitSubscribed(5s));
  std::vector<std::string> args = {VARNAK_CLI_PATH,
                                   "scan",
                                   definitionPath,
                                   "--port",
                                   sim->slavePath(),
                                   "--mqtt",
                                   "127.0.0.1:" + std::to_string(broker.Port()),
                                   "--name",
                                   "killed"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, VARNAK_CLI_PATH, nullptr, nullptr, argv.data(), environ), 0);
  const bool online = subscriber.WaitFor(
      [&] {
        const auto s = subscriber.Payloads("varnak/killed/status");
        return !s.empty() && s.back() == "online";
      },
      10s);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(online);
  EXPECT_TRUE(subscriber.WaitFor(
      [&] {
        const auto s = subscriber.Payloads("varnak/killed/status");
        return s.size() >= 2 && s.back() == "offline";
      },
      10s));
  // A newcomer hears the retained last word.
  MqttSubscriber late(broker.Port(), "varnak/killed/status");
  EXPECT_TRUE(late.WaitFor(
      [&] { return late.Payloads("varnak/killed/status") == std::vector<std::string>{"offline"}; }, 5s));
}

TEST_F(TelemetryTest, ABrokerThatGoesAwayCostsTheScanNothingAndIsFoundAgain) {
  auto telemetry = std::make_unique<LiveTelemetry>(session, Broker(), "car2", Note());
  ASSERT_TRUE(WaitFor([&] { return telemetry->Publisher().Connected(); }, 5s));
  StartScan();
  ASSERT_TRUE(WaitFor([&] { return telemetry->Publisher().Published() >= 10; }, 10s));
  const int port = broker.Port();
  broker.Stop();
  ASSERT_TRUE(WaitFor([&] { return !telemetry->Publisher().Connected(); }, 5s));
  EXPECT_TRUE(NoteSays("telemetry: lost 127.0.0.1:" + std::to_string(port)));
  // The scan goes on while nothing can be sent; what cannot be sent is counted.
  const std::size_t atLoss = collector.Count();
  const std::uint64_t droppedAtLoss = telemetry->Publisher().Dropped();
  ASSERT_TRUE(WaitFor([&] { return collector.Count() >= atLoss + 20; }, 5s));
  EXPECT_GE(telemetry->Publisher().Dropped(), droppedAtLoss + 15);
  EXPECT_TRUE(session.IsScanning());

  // The broker comes back on its port: the publisher finds it by itself.
  std::string error;
  ASSERT_TRUE(broker.Start(&error, port)) << error;
  MqttSubscriber subscriber(port, "varnak/car2/#");
  ASSERT_TRUE(subscriber.WaitSubscribed(5s));
  ASSERT_TRUE(WaitFor([&] { return telemetry->Publisher().Connected(); }, 10s));
  EXPECT_TRUE(subscriber.WaitFor([&] { return subscriber.Payloads("varnak/car2/values").size() >= 5; }, 5s));
  EXPECT_EQ(subscriber.Payloads("varnak/car2/status").front(), "online");
}

TEST_F(TelemetryTest, AnAbsentBrokerDropsEveryMessageAndEndsAtOnce) {
  const MqttAddress nowhere{"127.0.0.1", FreeLoopbackPort()};
  auto telemetry = std::make_unique<LiveTelemetry>(session, nowhere, "car3", Note());
  StartScan();
  ASSERT_TRUE(WaitFor([&] { return collector.Count() >= 20; }, 10s));
  session.StopScan();
  session.JoinWorkers();
  EXPECT_EQ(telemetry->Publisher().Published(), 0u);
  // Every packet of the scan was dropped (one that arrived as the scan
  // stopped is no live value and is not even made).
  EXPECT_LE(telemetry->Publisher().Dropped(), collector.Count());
  EXPECT_GE(telemetry->Publisher().Dropped() + 2, collector.Count());
  EXPECT_TRUE(NoteSays("telemetry: cannot reach 127.0.0.1:" + std::to_string(nowhere.port)));
  const auto before = std::chrono::steady_clock::now();
  telemetry.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

TEST_F(TelemetryTest, ALogThatPlaysIsNotSentAsLiveValues) {
  const std::string log = temp.File("old.xdl");
  {
    DataLogFile file;
    ASSERT_EQ(file.Open(log.c_str(), false), XDL_OK);
    XdlEntry entry;
    entry.commandIdHash = def.monitorcmd->idhash;
    entry.SetIdText("DATA");
    entry.commandType = ADX_TYPE_SENDCOMMAND;
    entry.storedSize = entry.fullSize = kDataReplySize;
    entry.mask = XdlMask::AllSet(kDataReplySize * 8);
    ASSERT_EQ(file.AddEntry(entry), XDL_OK);
    ASSERT_EQ(file.StartRecording(), XDL_OK);
    const std::uint8_t reply[kDataReplySize] = {0xF4, 0x92, 0x01, 40, 128, 0x10, 0x01, 0x02, 0, 0};
    for (int i = 0; i < 5; ++i)
      ASSERT_EQ(file.RecordPacket(def.monitorcmd->idhash, reply, sizeof reply), XDL_OK);
    ASSERT_EQ(file.StopRecording(), XDL_OK);
    file.Close();
  }
  MqttSubscriber subscriber(broker.Port(), "varnak/car4/#");
  ASSERT_TRUE(subscriber.WaitSubscribed(5s));
  auto telemetry = std::make_unique<LiveTelemetry>(session, Broker(), "car4", Note());
  ASSERT_TRUE(WaitFor([&] { return telemetry->Publisher().Connected(); }, 5s));
  EXPECT_EQ(session.PlayToEnd(log, 0.0f).outcome, PlayOutcome::Ended);
  EXPECT_EQ(collector.Count(), 5u);
  telemetry.reset();
  ASSERT_TRUE(subscriber.WaitFor([&] { return subscriber.Payloads("varnak/car4/status").size() == 2; }, 5s));
  EXPECT_TRUE(subscriber.Payloads("varnak/car4/values").empty());
}

TEST(TelemetryText, NumbersAddressesAndNames) {
  std::string out;
  for (const double v : {0.0, 0.1, -2.5, 1e21, 123456.789}) {
    out.clear();
    AppendJsonNumber(out, v);
    EXPECT_EQ(std::strtod(out.c_str(), nullptr), v) << out;
    EXPECT_EQ(out.find(','), std::string::npos) << out;
  }
  out.clear();
  AppendJsonNumber(out, 0.1);
  EXPECT_EQ(out, "0.1");
  for (const double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity()}) {
    out.clear();
    AppendJsonNumber(out, v);
    EXPECT_EQ(out, "null");
  }
  out.clear();
  const char id[] = "A\"B\\C\n";
  AppendJsonString(out, id, sizeof id - 1);
  EXPECT_EQ(out, "\"A\\\"B\\\\C\\u000a\"");

  MqttAddress a;
  ASSERT_TRUE(ParseMqttAddress("broker.lan", &a));
  EXPECT_EQ(a.host, "broker.lan");
  EXPECT_EQ(a.port, 1883);
  ASSERT_TRUE(ParseMqttAddress("10.0.0.2:8883", &a));
  EXPECT_EQ(a.host, "10.0.0.2");
  EXPECT_EQ(a.port, 8883);
  for (const char* bad : {"", ":1883", "host:", "host:0", "host:65536", "host:12x", "a b:1"})
    EXPECT_FALSE(ParseMqttAddress(bad, &a)) << bad;
  EXPECT_TRUE(IsTelemetryName("pickup-1"));
  for (const char* bad : {"", "a/b", "a+", "#"}) EXPECT_FALSE(IsTelemetryName(bad)) << bad;
}

}  // namespace
