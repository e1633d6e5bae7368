// Export of a generated log of 1,000,000 records with a 100-item definition:
// records per second through the playback thread, the callback, decoding and
// the CSV rows. Goal: 50,000 records per second or more.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "datalog/DataLogFile.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXValue.h"
#include "tools/varnak-cli/CommandLineSession.h"

namespace {

constexpr int kItems = 100;
constexpr int kPacketSize = 64;

struct Fixture {
  std::string folder;
  std::string adx;
  std::string xdl;
  std::uint32_t records = 0;

  explicit Fixture(std::uint32_t count) {
    char pattern[] = "/tmp/varnak-export-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    folder = pattern;
    adx = folder + "/bench.adx";
    xdl = folder + "/bench.xdl";

    ADXDefinition def;
    auto data = std::make_unique<ADXCSendCommand>();
    data->SetId("DATA");
    data->flags = kSendReadReply;
    data->replysize = kPacketSize;
    data->packetsize = kPacketSize;
    const std::uint32_t hash = data->idhash;
    def.monitorcmd = data.get();
    def.Append(std::move(data));
    for (int i = 0; i < kItems; ++i) {
      const std::string id = "ITEM" + std::to_string(i);
      if (i % 5 == 4) {
        auto b = std::make_unique<ADXBitmask>();
        b->SetId(id.c_str());
        b->packetoffset = static_cast<std::uint32_t>(i % kPacketSize);
        b->operand = 1u << (i % 8);
        b->result = b->operand;
        b->parentcmdidhash = hash;
        b->SetTrueString("ON", 2);
        b->SetFalseString("OFF", 3);
        def.Append(std::move(b));
      } else {
        auto v = std::make_unique<ADXValue>();
        v->SetId(id.c_str());
        const char* eq = i % 2 == 0 ? "X*0.75-40" : "X/2.55";
        v->SetEquation(eq, std::strlen(eq));
        v->packetoffset = static_cast<std::uint32_t>(i % (kPacketSize - 1));
        v->sizeinbits = i % 3 == 0 ? 16 : 8;
        v->outputtype = i % 4 == 0 ? kOutputInteger : kOutputFloat;
        v->parentcmdidhash = hash;
        def.Append(std::move(v));
      }
    }
    if (SaveAdx(&def, adx.c_str(), nullptr) != 1) return;

    DataLogFile log;
    if (log.Open(xdl.c_str(), false) != XDL_OK) return;
    XdlEntry entry;
    entry.commandIdHash = hash;
    entry.SetIdText("DATA");
    entry.commandType = ADX_TYPE_SENDCOMMAND;
    entry.storedSize = entry.fullSize = kPacketSize;
    entry.mask = XdlMask::AllSet(120);
    if (log.AddEntry(entry) != XDL_OK || log.StartRecording() != XDL_OK) return;
    std::uint8_t packet[kPacketSize];
    for (std::uint32_t r = 0; r < count; ++r) {
      for (int i = 0; i < kPacketSize; ++i) packet[i] = static_cast<std::uint8_t>(r * 7 + i * 13);
      if (log.RecordPacket(hash, packet, kPacketSize) != XDL_OK) return;
    }
    if (log.StopRecording() != XDL_OK || log.Close() == 0) return;
    records = count;
  }
  ~Fixture() {
    std::error_code ec;
    if (!folder.empty()) std::filesystem::remove_all(folder, ec);
  }
};

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BM_ExportMillionRecords(benchmark::State& state) {
  static Fixture fixture(1000000);
  if (fixture.records == 0) {
    state.SkipWithError("could not generate the log");
    return;
  }
  double cpuSeconds = 0.0;
  for (auto _ : state) {
    const double before = ProcessCpuSeconds();
    const int status = RunExportSession(fixture.xdl, fixture.adx, "/dev/null", stderr);
    cpuSeconds += ProcessCpuSeconds() - before;
    if (status != 0) state.SkipWithError("export failed");
  }
  const double records = static_cast<double>(fixture.records) * static_cast<double>(state.iterations());
  state.counters["records_per_second"] = benchmark::Counter(records, benchmark::Counter::kIsRate);
  // The processor time of every thread of the export: the figure that does
  // not depend on what else the machine runs.
  state.counters["records_per_cpu_second"] = cpuSeconds > 0.0 ? records / cpuSeconds : 0.0;
}
BENCHMARK(BM_ExportMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
