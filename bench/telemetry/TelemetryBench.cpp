// The scan's packet rate against the simulated ECU (answering as fast as the
// pseudo-terminal carries it) without telemetry, with a running mosquitto
// broker, with no broker at all and with the broker stopped halfway. Goal:
// every telemetry case keeps at least 95% of the rate without telemetry
// (the ratio is measured in the same run). Also the cost of one message for
// a 100-item definition against a CSV row of the same packet, the peer
// (goal: at most 1.5 times the row).
//
//   telemetry_bench [SECONDS_PER_RUN]   (default 3; each case runs three times)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "session/Session.h"
#include "telemetry/LiveTelemetry.h"
#include "tests/acquisition/control/LinkFixture.h"
#include "tests/telemetry/MosquittoBroker.h"
#include "tools/varnak-cli/ItemRows.h"

namespace {

class Counter : public IPacketSink {
 public:
  void OnPacket(const PacketEvent& event) override {
    if (event.IsFullPacket()) count.fetch_add(1, std::memory_order_relaxed);
  }
  std::atomic<std::size_t> count{0};
};

enum class Case { Without, Broker, Absent, StoppedHalfway };

// Packets per second of one scan.
double Rate(const std::string& adx, Case c, MosquittoBroker& broker, double seconds) {
  EcuScenario scenario = MakeScenario();
  scenario.pace = false;
  EcuSimulator sim(scenario);
  if (!sim.start()) return 0.0;
  Session session;
  if (!session.LoadDefinition(adx, DefinitionFormat::Adx).ok) return 0.0;
  Counter counter;
  session.AttachSink(&counter);
  std::unique_ptr<LiveTelemetry> telemetry;
  std::string error;
  if (c == Case::Broker || c == Case::StoppedHalfway) {
    if (!broker.Start(&error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 0.0;
    }
    telemetry =
        std::make_unique<LiveTelemetry>(session, MqttAddress{"127.0.0.1", broker.Port()}, "bench", nullptr);
    for (int i = 0; i < 200 && !telemetry->Publisher().Connected(); ++i) std::this_thread::sleep_for(10ms);
  } else if (c == Case::Absent) {
    telemetry = std::make_unique<LiveTelemetry>(session, MqttAddress{"127.0.0.1", FreeLoopbackPort()},
                                                "bench", nullptr);
  }
  session.SetPort(sim.slavePath());
  session.ToggleConnection();
  std::this_thread::sleep_for(300ms);  // connected and running
  const std::size_t first = counter.count.load();
  const auto start = std::chrono::steady_clock::now();
  const auto half = std::chrono::duration<double>(seconds / 2);
  std::this_thread::sleep_for(half);
  if (c == Case::StoppedHalfway) broker.Stop();
  std::this_thread::sleep_for(half);
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::size_t packets = counter.count.load() - first;
  session.StopScan();
  session.JoinWorkers();
  telemetry.reset();
  session.DetachSink(&counter);
  broker.Stop();
  return packets / elapsed;
}

// Microseconds per message, and per CSV row of the same packet (the peer),
// for a definition of 100 values.
std::pair<double, double> MessageCost() {
  ADXDefinition def;
  MakeDefinition(def);
  for (int i = 0; i < 96; ++i) {
    auto value = std::make_unique<ADXValue>();
    const std::string id = "V" + std::to_string(i);
    value->SetId(id.c_str());
    value->SetEquation("X*0.37+1", 8);
    value->packetoffset = 3 + i % 6;
    value->sizeinbits = 8;
    value->parentcmdidhash = def.monitorcmd->idhash;
    def.Append(std::move(value));
  }
  MqttPublisher publisher(MqttPublisherOptions{});
  TelemetrySink sink(def, publisher);
  const std::uint8_t packet[kDataReplySize] = {0xF4, 0x92, 0x01, 17, 99, 0x10, 0x12, 0x34, 0, 0};
  constexpr int kRounds = 20000;
  std::size_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i)
    bytes += sink.Message(i * 0.02, packet, sizeof packet, def.monitorcmd->idhash).size();
  const double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  const ItemRowFormatter rows(def);
  const auto rowStart = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) {
    std::string row;
    rows.AppendRow(row, i * 0.02, packet, sizeof packet, def.monitorcmd->idhash);
    bytes += row.size();
  }
  const double rowUs =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - rowStart).count();
  if (bytes == 0) std::printf("no message\n");
  return {us / kRounds, rowUs / kRounds};
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  if (MosquittoProgram().empty()) {
    std::fprintf(stderr, "telemetry_bench: mosquitto is not installed\n");
    return 1;
  }
  TempFolder temp;
  ADXDefinition def;
  MakeDefinition(def);
  const std::string adx = temp.File("bench.adx");
  if (SaveAdx(&def, adx.c_str(), nullptr) != 1) return 1;
  MosquittoBroker broker(temp.Path());

  // The machine is shared: the cases take turns, three rounds, and each
  // keeps its best rate.
  const struct {
    Case c;
    const char* name;
  } cases[] = {{Case::Without, "without telemetry"},
               {Case::Broker, "with a running broker"},
               {Case::Absent, "with no broker"},
               {Case::StoppedHalfway, "broker stopped halfway"}};
  double best[4] = {};
  for (int round = 0; round < 3; ++round)
    for (int k = 0; k < 4; ++k) best[k] = std::max(best[k], Rate(adx, cases[k].c, broker, seconds));
  bool ok = best[0] > 0.0;
  std::printf("scan %-22s %8.1f packets/s\n", cases[0].name, best[0]);
  for (int k = 1; k < 4; ++k) {
    const double ratio = best[0] > 0.0 ? best[k] / best[0] : 0.0;
    std::printf("scan %-22s %8.1f packets/s  ratio %.3f (goal >= 0.95)\n", cases[k].name, best[k], ratio);
    ok = ok && ratio >= 0.95;
  }
  const auto [message, row] = MessageCost();
  std::printf("one message, 100 items      %8.2f us\n", message);
  std::printf("one CSV row, same packet    %8.2f us        message/row %.2f (goal <= 1.5)\n", row,
              message / row);
  ok = ok && message <= 1.5 * row;
  return ok ? 0 : 1;
}
