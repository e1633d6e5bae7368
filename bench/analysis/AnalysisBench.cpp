// Whole-log analysis speed, each figure printed beside its goal:
// - histogram and stats over a 300,000-record log of a 28-item definition
//   (the work of `varnak-cli histogram` and `varnak-cli stats`: loading the
//   definition, reading the log, the pass and the CSV text);
// - opening a 1,000,000-record log of a 100-item definition up to the first
//   decoded channel, and the memory that takes.
// Times are the best of three runs (wall clock), so that a neighbour's burst
// on the shared machine does not decide the figure.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "analysis/AnalysisText.h"
#include "analysis/LogColumns.h"
#include "analysis/LogData.h"
#include "analysis/LogHistograms.h"
#include "analysis/LogStatistics.h"
#include "bench/support/BenchSupport.h"
#include "datalog/DataLogFile.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXValue.h"

namespace {

constexpr int kPacketSize = 64;

// A definition of `items` items on one command, with two histograms; saved to
// adx. Returns the command hash, 0 on failure.
std::uint32_t WriteDefinition(const std::string& adx, int items) {
  ADXDefinition def;
  std::vector<ADXValue*> values;
  const std::uint32_t hash = AddSyntheticItems(def, items, kPacketSize, false, false, false, &values);
  for (int h = 0; h < 2; ++h) {
    auto hist = std::make_unique<ADXHistogram>();
    hist->SetId(h == 0 ? "HIST0" : "HIST1");
    hist->SetXMin(0.0f);
    hist->SetXMax(40000.0f);
    hist->SetYMin(0.0f);
    hist->SetYMax(100.0f);
    hist->SetCols(16);
    hist->SetRows(12);
    hist->xidhash = values[0]->idhash;
    hist->yidhash = values[1]->idhash;
    hist->zidhash = values[2 + h]->idhash;
    def.Append(std::move(hist));
  }
  return SaveAdx(&def, adx.c_str(), nullptr) == 1 ? hash : 0;
}

void Report(const char* what, Timing t, double goal) {
  if (t.wall < 0) {
    std::printf("%-50s FAILED\n", what);
    return;
  }
  std::printf("%-50s %7.3f s wall %7.3f s cpu   goal < %.2f s   %s\n", what, t.wall, t.cpu, goal,
              t.wall < goal ? "met" : "MISSED (see the load average)");
}

std::size_t ResidentBytes() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  unsigned long size = 0, resident = 0;
  if (std::fscanf(f, "%lu %lu", &size, &resident) != 2) resident = 0;
  std::fclose(f);
  return resident * 4096;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/varnak-analysis-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string folder = pattern;
  const std::string adx28 = folder + "/d28.adx", xdl300 = folder + "/l300k.xdl";
  const std::string adx100 = folder + "/d100.adx", xdl1m = folder + "/l1m.xdl";
  const std::uint32_t hash28 = WriteDefinition(adx28, 28);
  const std::uint32_t hash100 = WriteDefinition(adx100, 100);
  if (hash28 == 0 || hash100 == 0 || !WriteSyntheticLog(xdl300, hash28, 300000, kPacketSize) ||
      !WriteSyntheticLog(xdl1m, hash100, 1000000, kPacketSize)) {
    std::fprintf(stderr, "could not generate the logs in %s\n", folder.c_str());
    return 1;
  }

  double load[3] = {};
  if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3) load[0] = 0.0;
    std::fclose(f);
  }
  std::printf("load average %.2f on %u processors\n", load[0], std::thread::hardware_concurrency());
  std::printf("300,000 records, 28 items:\n");
  Report("  histogram (load, read, one pass, CSV grid)", BestOfThree([&] {
           ADXDefinition def;
           LogData log;
           if (!LoadAdx(&def, adx28.c_str(), nullptr, 0, nullptr, nullptr)) return false;
           if (ReadLogData(xdl300, &log) != LogReadResult::kOk) return false;
           auto* h = static_cast<ADXHistogram*>(def.FindById("HIST0"));
           LogBinding binding(log, def);
           FillHistograms(binding, {h}, TimeRange{});
           return !HistogramGridCsv(*h, kStatAverage).empty() && h->SampleCount() == 300000;
         }),
         0.15);
  Report("  stats (load, read, every value, CSV)", BestOfThree([&] {
           ADXDefinition def;
           LogData log;
           if (!LoadAdx(&def, adx28.c_str(), nullptr, 0, nullptr, nullptr)) return false;
           if (ReadLogData(xdl300, &log) != LogReadResult::kOk) return false;
           std::vector<ADXObject*> values;
           for (ADXObject* item : DefinitionItems(def))
             if (item->objectType == ADX_TYPE_VALUE) values.push_back(item);
           LogBinding binding(log, def);
           std::string text;
           for (const ItemStatistics& s : ComputeStatistics(binding, values, TimeRange{}))
             text += ShortestText(s.mean) + ShortestText(s.minimum) + ShortestText(s.maximum);
           return !text.empty();
         }),
         0.4);

  std::printf("1,000,000 records, 100 items:\n");
  std::size_t memory = 0;
  const std::size_t before = ResidentBytes();
  Report("  open: read the log and decode the first channel", BestOfThree([&] {
           ADXDefinition def;
           LogData log;
           if (!LoadAdx(&def, adx100.c_str(), nullptr, 0, nullptr, nullptr)) return false;
           if (ReadLogData(xdl1m, &log) != LogReadResult::kOk) return false;
           LogBinding binding(log, def);
           ColumnCache columns(binding);
           const bool ok = columns.Column(*def.FindById("ITEM0")).size() == 1000000;
           memory = log.MemoryBytes() + columns.MemoryBytes();
           return ok;
         }),
         2.0);
  std::printf("  %-50s %8.1f MB  goal < 300 MB (process grew by %.1f MB)\n",
              "memory held by the log and one column", static_cast<double>(memory) / 1e6,
              static_cast<double>(ResidentBytes() - before) / 1e6);
  std::error_code ec;
  if (std::getenv("ANALYSIS_BENCH_KEEP") == nullptr)
    std::filesystem::remove_all(folder, ec);
  else
    std::printf("files kept in %s\n", folder.c_str());
  return 0;
}
