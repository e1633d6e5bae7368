// Datalog engine speed: raw reading and expansion of a 1,000,000-record log,
// seeking to its middle, and the pacing error of playback at three speeds,
// on a quiet machine and with two busy threads competing.
//
// The big log is recorded with the engine's own recorder into a temporary
// folder when the program starts (record times are then set to a steady
// 10 packets a second, as a real drive would give) and removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "datalog/DataLogFile.h"
#include "datalog/NullDataLogCallback.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kPacketSize = 67;
constexpr std::uint32_t kHash = 0x0DA7A001;

std::filesystem::path& TempFolder() {
  static std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "xdlbench-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    return std::filesystem::path(::mkdtemp(buffer.data()) ? buffer.data() : "/tmp");
  }();
  return folder;
}

// Records count packets, then rewrites the record times to gapMs apart.
std::string MakeLog(const std::string& name, std::uint32_t count, std::uint32_t gapMs) {
  const std::string path = (TempFolder() / name).string();
  {
    DataLogFile log;
    if (log.Open(path.c_str(), false) != XDL_OK) return std::string();
    XdlEntry e;
    e.commandIdHash = kHash;
    e.SetIdText("DATA");
    e.commandType = 0x20000;
    e.storedSize = e.fullSize = kPacketSize;
    e.mask = XdlMask::AllSet(120);
    if (log.AddEntry(e) != XDL_OK || log.StartRecording() != XDL_OK) return std::string();
    Bytes packet(kPacketSize);
    for (std::uint32_t i = 0; i < count; ++i) {
      for (std::uint32_t k = 0; k < kPacketSize; ++k) packet[k] = static_cast<std::uint8_t>(i + k);
      if (log.RecordPacket(kHash, packet.data(), kPacketSize) != XDL_OK) return std::string();
    }
    if (log.StopRecording() != XDL_OK || log.Close() == 0) return std::string();
  }
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  std::uint8_t word[4];
  file.seekg(4);
  file.read(reinterpret_cast<char*>(word), 4);
  const std::uint64_t dataOffset = XdlGetU32(word);
  for (std::uint32_t i = 0; i < count; ++i) {
    XdlPutU32(word, i * gapMs);
    file.seekp(static_cast<std::streamoff>(dataOffset + std::uint64_t{i} * (12 + kPacketSize) + 4));
    file.write(reinterpret_cast<const char*>(word), 4);
  }
  return path;
}

const std::string& BigLog() {
  static const std::string path = MakeLog("big.xdl", 1000000, 100);
  return path;
}

void BM_ReadAndExpandMillionRecords(benchmark::State& state) {
  const std::string& path = BigLog();
  Bytes payload(kPacketSize);
  Bytes packet(kPacketSize);
  std::int64_t records = 0;
  for (auto _ : state) {
    DataLogFile log;
    if (log.Open(path.c_str(), true) != XDL_OK) {
      state.SkipWithError("cannot open the big log");
      return;
    }
    XdlRecordHead head;
    const XdlEntry* entry = nullptr;
    while (log.ReadRecord(&head, payload.data(), kPacketSize, &entry) == XDL_OK) {
      XdlExpandPayload(*entry, payload.data(), entry->storedSize, packet.data(), packet.size());
      benchmark::DoNotOptimize(packet.data());
      ++records;
    }
    log.Close();
  }
  state.SetItemsProcessed(records);
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadAndExpandMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_SeekToMiddle(benchmark::State& state) {
  const std::string& path = BigLog();
  DataLogFile log;
  if (log.Open(path.c_str(), true) != XDL_OK) {
    state.SkipWithError("cannot open the big log");
    return;
  }
  const bool byTime = state.range(0) != 0;
  for (auto _ : state) {
    XdlResult code = byTime ? log.Seek(50000000, XDL_SEEK_FROM_START | XDL_SEEK_BY_TIME)
                            : log.Seek(500000, XDL_SEEK_FROM_START);
    if (code != XDL_OK) state.SkipWithError("seek failed");
  }
  state.counters["sample"] = log.SampleIndex();
  log.Close();
}
BENCHMARK(BM_SeekToMiddle)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"byTime"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

// Notes when each packet arrives.
class ArrivalCallback : public NullDataLogCallback {
 public:
  std::vector<std::chrono::steady_clock::time_point> arrivals;
  std::int32_t OnSendCommandEnd(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) override {
    arrivals.push_back(std::chrono::steady_clock::now());
    return 0;
  }
};

// Keeps `count` threads busy for as long as it lives: the competing load of
// a machine that builds or renders while a log plays.
class BusyLoad {
 public:
  explicit BusyLoad(int count) {
    for (int i = 0; i < count; ++i) {
      threads_.emplace_back([this] {
        std::uint64_t x = 1;
        while (!stop_.load(std::memory_order_relaxed)) {
          x = x * 6364136223846793005ull + 1442695040888963407ull;
          benchmark::DoNotOptimize(x);
        }
      });
    }
  }
  ~BusyLoad() {
    stop_.store(true);
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

struct PacingFigure {
  double speed = 0;
  int load = 0;
  double p50 = 0;
  double p99 = 0;
  double max = 0;
  std::size_t gaps = 0;
};
std::vector<PacingFigure>& PacingFigures() {
  static std::vector<PacingFigure> figures;
  return figures;
}

// Plays records 20 ms apart at speed range(0) / 100 for about three seconds
// while range(1) busy threads compete for the processors, and reports how far
// each packet came from its due time (the first packet's arrival plus the
// recorded time scaled by the speed): a late packet and a drifting schedule
// both count.
void BM_PacingError(benchmark::State& state) {
  const double speed = static_cast<double>(state.range(0)) / 100.0;
  const int load = static_cast<int>(state.range(1));
  const std::uint32_t gapMs = 20;
  const std::uint32_t count = static_cast<std::uint32_t>(3000.0 * speed / gapMs) + 1;
  const std::string path = MakeLog("pace-" + std::to_string(state.range(0)) + ".xdl", count, gapMs);
  std::vector<double> errors;
  for (auto _ : state) {
    ArrivalCallback callback;
    callback.arrivals.reserve(count);
    DataLogFile log;
    log.SetCallback(&callback);
    if (log.Open(path.c_str(), true) != XDL_OK) {
      state.SkipWithError("cannot open the log");
      break;
    }
    log.SetSpeed(static_cast<float>(speed));
    {
      BusyLoad busy(load);
      if (log.StartPlayback() != XDL_OK) {
        state.SkipWithError("cannot play the log");
        break;
      }
      log.WaitForPlaybackThread();
    }
    log.Close();
    const double expected = gapMs / speed;
    for (std::size_t i = 1; i < callback.arrivals.size(); ++i) {
      const double at =
          std::chrono::duration<double, std::milli>(callback.arrivals[i] - callback.arrivals[0]).count();
      errors.push_back(std::abs(at - expected * static_cast<double>(i)));
    }
  }
  std::sort(errors.begin(), errors.end());
  if (errors.empty()) return;
  PacingFigure figure;
  figure.speed = speed;
  figure.load = load;
  figure.p50 = errors[errors.size() / 2];
  figure.p99 = errors[std::min(errors.size() - 1, errors.size() * 99 / 100)];
  figure.max = errors.back();
  figure.gaps = errors.size();
  PacingFigures().push_back(figure);
  state.counters["p50_ms"] = figure.p50;
  state.counters["p99_ms"] = figure.p99;
  state.counters["max_ms"] = figure.max;
  state.counters["packets"] = static_cast<double>(figure.gaps);
}
BENCHMARK(BM_PacingError)
    ->Args({25, 0})
    ->Args({100, 0})
    ->Args({400, 0})
    ->Args({25, 2})
    ->Args({100, 2})
    ->Args({400, 2})
    ->ArgNames({"speed%", "busy"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // Fixed-point text: the figures read the same under any locale.
  for (const PacingFigure& f : PacingFigures()) {
    std::printf(
        "pacing %4d%% with %d busy threads: p50 %6.3f ms, p99 %6.3f ms (goal p99 < 2 ms: %s), max %.3f ms, "
        "%zu packets\n",
        static_cast<int>(f.speed * 100.0 + 0.5), f.load, f.p50, f.p99, f.p99 < 2.0 ? "met" : "MISSED", f.max,
        f.gaps);
  }
  std::error_code ec;
  std::filesystem::remove_all(TempFolder(), ec);
  return 0;
}
