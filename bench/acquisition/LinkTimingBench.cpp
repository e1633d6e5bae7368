// How closely the port's time-outs and the engine's waits keep their nominal
// times, and how long the engine takes from the end of a reply to the
// callback. Each benchmark runs 200 times and reports the median and the 99th
// percentile of the error (or of the overhead) in microseconds.
#include <benchmark/benchmark.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "acquisition/DataAcqEngine.h"
#include "definition/ADXCommands.h"
#include "tests/acquisition/PtyPeer.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr int kRuns = 200;

double Micros(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// Median and 99th percentile into the benchmark's counters and onto stdout.
void Report(benchmark::State& state, std::vector<double> samples, const char* what) {
  if (samples.empty()) return;
  std::sort(samples.begin(), samples.end());
  double median = samples[samples.size() / 2];
  double p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
  state.counters["median_us"] = median;
  state.counters["p99_us"] = p99;
  state.counters["max_us"] = samples.back();
  std::printf("%-44s median %8.1f us   p99 %8.1f us   (n=%zu)\n", what, median, p99, samples.size());
}

// Records when the send command's end notification arrives.
class TimingCallback : public IDataAcqCallback {
 public:
  Clock::time_point sendEnd;
  DaeStatus lastStatus = DaeStatus::Ok;
  std::int32_t OnDataWritten(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) override {
    return 0;
  }
  std::int32_t OnDataRead(const DAEStatusRecord*, const std::uint8_t*, std::uint32_t) override { return 0; }
  std::int32_t OnListenSilenceBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListenSilenceEnd(const DAEStatusRecord* r) override { return Status(r); }
  std::int32_t OnListenChatterBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListenChatterEnd(const DAEStatusRecord* r) override { return Status(r); }
  std::int32_t OnSendCommandBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnSendCommandEnd(const DAEStatusRecord* r, const std::uint8_t*, std::uint32_t) override {
    sendEnd = Clock::now();
    return Status(r);
  }
  std::int32_t OnMacroBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnMacroEnd(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListen160BaudBegin(const DAEStatusRecord*) override { return 0; }
  std::int32_t OnListen160BaudEnd(const DAEStatusRecord* r, const std::uint8_t*, std::uint32_t) override {
    return Status(r);
  }
  std::int32_t OnTrigger(const DAEStatusRecord*) override { return 0; }

 private:
  std::int32_t Status(const DAEStatusRecord* r) {
    lastStatus = r->Status();
    return 0;
  }
};

// Read of 9 bytes with interval 75 ms: four bytes are waiting, then the line
// is quiet; the read should end 75 ms after them.
void BM_ReadIntervalAfterLastByte(benchmark::State& state) {
  PtyPeer peer;
  QvSerial port;
  if (!port.Open(peer.Path().c_str(), 8192)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  port.SetTimeouts(75, 0, 5000, 0, 300, kTimeoutAll);
  std::vector<double> errors;
  std::uint8_t buffer[9];
  for (auto _ : state) {
    peer.Write({1, 2, 3, 4});
    std::this_thread::sleep_for(2ms);  // the bytes are in the driver before the read starts
    auto start = Clock::now();
    std::uint32_t got = port.Read(9, buffer);
    auto took = Clock::now() - start;
    if (got != 4) state.SkipWithError("unexpected byte count");
    errors.push_back(Micros(took - 75ms));
  }
  Report(state, errors, "read, interval 75 ms after the last byte");
}
BENCHMARK(BM_ReadIntervalAfterLastByte)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

// Read of 1 byte with read constant 50 ms on a silent line.
void BM_ReadTotalOnSilentLine(benchmark::State& state) {
  PtyPeer peer;
  QvSerial port;
  if (!port.Open(peer.Path().c_str(), 8192)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  port.SetTimeouts(0, 0, 50, 0, 300, kTimeoutAll);
  std::vector<double> errors;
  std::uint8_t byte;
  for (auto _ : state) {
    auto start = Clock::now();
    if (port.Read(1, &byte) != 0) state.SkipWithError("the line was not silent");
    errors.push_back(Micros(Clock::now() - start - 50ms));
  }
  Report(state, errors, "read, total 50 ms on a silent line");
}
BENCHMARK(BM_ReadTotalOnSilentLine)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

// The engine's silence wait of 100 ms on a quiet line.
void BM_SilenceWait(benchmark::State& state) {
  PtyPeer peer;
  DataAcqEngine engine;
  TimingCallback callback;
  engine.SetCallback(&callback);
  if (!engine.Open(peer.Path().c_str(), 8192)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  ADXCListenSilence silence;
  silence.SetId("quiet");
  silence.silencelen = 100;
  silence.totaltimeout = 1000;
  std::vector<double> errors;
  for (auto _ : state) {
    auto start = Clock::now();
    engine.Execute(&silence);
    auto took = Clock::now() - start;
    if (callback.lastStatus != DAE_OK) state.SkipWithError("silence not found");
    errors.push_back(Micros(took - 100ms));
  }
  Report(state, errors, "silence wait of 100 ms");
}
BENCHMARK(BM_SilenceWait)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

// A send command against a responder thread: from the moment the last reply
// byte was handed to the line until OnSendCommandEnd.
void BM_SendRoundTripOverhead(benchmark::State& state) {
  PtyPeer peer;
  DataAcqEngine engine;
  TimingCallback callback;
  engine.SetCallback(&callback);
  if (!engine.Open(peer.Path().c_str(), 8192)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  const std::vector<std::uint8_t> request = {0xF4, 0x57, 0x01, 0x00, 0xB4};
  std::vector<std::uint8_t> reply(67);
  for (std::size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<std::uint8_t>(i);
  ADXCSendCommand send;
  send.SetId("req");
  send.SetByteString(request.data(), request.size());
  send.replysize = static_cast<int>(reply.size());
  send.replytimeout = 1000;
  send.flags = kSendReadReply;

  std::atomic<bool> stop{false};
  std::atomic<std::int64_t> replyDone{0};
  std::atomic<int> replies{0};
  std::thread responder([&] {
    while (!stop.load()) {
      if (peer.Read(request.size(), 50ms).size() != request.size()) continue;
      peer.Write(reply);
      replyDone.store(Clock::now().time_since_epoch().count());
      replies.fetch_add(1);
    }
  });
  std::vector<double> overheads;
  int sent = 0;
  for (auto _ : state) {
    engine.Execute(&send);
    ++sent;
    if (callback.lastStatus != DAE_OK) {
      state.SkipWithError("send failed");
      break;
    }
    // The engine may have the reply before the responder noted its time.
    while (replies.load() < sent) std::this_thread::yield();
    Clock::time_point done{Clock::duration(replyDone.load())};
    overheads.push_back(Micros(callback.sendEnd - done));
  }
  stop.store(true);
  responder.join();
  Report(state, overheads, "send: end of reply to OnSendCommandEnd");
}
BENCHMARK(BM_SendRoundTripOverhead)->Iterations(kRuns)->Unit(benchmark::kMicrosecond);

// A stop request during a chatter wait on a quiet line: from the request until
// the wait's end notification. The wait looks at the flag once a read slice.
void BM_StopDuringQuietChatterWait(benchmark::State& state) {
  PtyPeer peer;
  DataAcqEngine engine;
  TimingCallback callback;
  engine.SetCallback(&callback);
  if (!engine.Open(peer.Path().c_str(), 8192)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  ADXCListenChatter chatter;
  chatter.SetId("chatter");
  const std::uint8_t pattern[] = {0xA1, 0xB2};
  chatter.SetByteString(pattern, sizeof pattern);
  chatter.listentimeout = 5000;
  std::vector<double> latencies;
  for (auto _ : state) {
    std::atomic<std::int64_t> requested{0};
    std::thread stopper([&] {
      std::this_thread::sleep_for(10ms);
      requested.store(Clock::now().time_since_epoch().count());
      engine.RequestAbort();
    });
    engine.Execute(&chatter);
    auto ended = Clock::now();
    stopper.join();
    if (callback.lastStatus != DAE_ABORTED) {
      state.SkipWithError("the wait was not stopped");
      break;
    }
    latencies.push_back(Micros(ended - Clock::time_point(Clock::duration(requested.load()))));
  }
  Report(state, latencies, "stop request to the end of a chatter wait");
}
BENCHMARK(BM_StopDuringQuietChatterWait)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
