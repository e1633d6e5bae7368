// Export speed, each figure printed beside its goal: `varnak-cli export` of
// - a 300,000-record log of a 28-item definition (goal: under 0.4 s), and
// - a 1,000,000-record log of a 100-item definition (goal: 250,000 records
//   per second or more),
// each into a CSV file in a temporary folder: reading the log, the playback
// thread, decoding, the rows and the writes. Times are the best of three runs
// (wall clock), so that a neighbour's burst on the shared machine does not
// decide the figure; the processor time of that run (all threads) is shown
// beside it.
//
// With --keep FOLDER the generated definitions and logs stay in FOLDER, for
// profiling the command itself.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "bench/support/BenchSupport.h"
#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXValue.h"
#include "tools/varnak-cli/CommandLineSession.h"

namespace {

constexpr int kPacketSize = 64;

// A definition of `items` items on one command: four values in five (8- and
// 16-bit, whole and decimal outputs, two equations), a bitmask in five.
// Returns the command hash, 0 on failure.
std::uint32_t WriteDefinition(const std::string& adx, int items) {
  ADXDefinition def;
  const std::uint32_t hash = AddSyntheticItems(def, items, kPacketSize, true, true, true);
  return SaveAdx(&def, adx.c_str(), nullptr) == 1 ? hash : 0;
}

bool Export(const std::string& xdl, const std::string& adx, const std::string& csv) {
  PlayOptions options;
  options.logPath = xdl;
  options.definitionPath = adx;
  options.csvPath = csv;
  options.force = true;
  return RunExportSession(options, stderr) == 0;
}

double FileMegabytes(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0.0 : static_cast<double>(size) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  bool keep = false;
  if (argc == 3 && std::strcmp(argv[1], "--keep") == 0) {
    folder = argv[2];
    keep = true;
    std::filesystem::create_directories(folder);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--keep FOLDER]\n", argv[0]);
    return 2;
  } else {
    char pattern[] = "/tmp/varnak-export-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    folder = pattern;
  }
  const std::string adx28 = folder + "/d28.adx", xdl300 = folder + "/l300k.xdl";
  const std::string adx100 = folder + "/d100.adx", xdl1m = folder + "/l1m.xdl";
  const std::string csv = folder + "/out.csv";
  const std::uint32_t hash28 = WriteDefinition(adx28, 28);
  const std::uint32_t hash100 = WriteDefinition(adx100, 100);
  if (hash28 == 0 || hash100 == 0 || !WriteSyntheticLog(xdl300, hash28, 300000, kPacketSize) ||
      !WriteSyntheticLog(xdl1m, hash100, 1000000, kPacketSize)) {
    std::fprintf(stderr, "could not generate the logs in %s\n", folder.c_str());
    return 1;
  }

  // Into /dev/null: the program's own speed. Into a file: with the page
  // cache and the disk of this machine, whose write-back varies with what
  // else it stores.
  const Timing small = BestOfThree([&] { return Export(xdl300, adx28, "/dev/null"); });
  const Timing large = BestOfThree([&] { return Export(xdl1m, adx100, "/dev/null"); });
  const Timing smallFile = BestOfThree([&] { return Export(xdl300, adx28, csv); });
  const double smallMb = FileMegabytes(csv);
  const Timing largeFile = BestOfThree([&] { return Export(xdl1m, adx100, csv); });
  const double largeMb = FileMegabytes(csv);
  std::filesystem::remove(csv);
  if (small.wall < 0 || large.wall < 0 || smallFile.wall < 0 || largeFile.wall < 0) {
    std::printf("export FAILED\n");
    return 1;
  }
  std::printf("export (best of 3)                       wall       cpu      records/s      MB/s   goal\n");
  const auto row = [](const char* what, Timing t, double records, double megabytes, const char* goal,
                      bool met) {
    std::printf("%-36s %8.3f s %8.3f s %12.0f %9.1f   %-18s %s\n", what, t.wall, t.cpu, records / t.wall,
                megabytes / t.wall, goal, met ? "met" : "MISSED");
  };
  row("300,000 records, 28 items", small, 300000.0, smallMb, "< 0.40 s", small.wall < 0.4);
  row("1,000,000 records, 100 items", large, 1e6, largeMb, ">= 250,000 rec/s", 1e6 / large.wall >= 250000.0);
  row("  the same into a file: 300,000", smallFile, 300000.0, smallMb, "(disk)", smallFile.wall < 0.4);
  row("  the same into a file: 1,000,000", largeFile, 1e6, largeMb, "(disk)",
      1e6 / largeFile.wall >= 250000.0);
  double load[1] = {0.0};
  if (getloadavg(load, 1) == 1) std::printf("load average during the run: %.2f (2 cores)\n", load[0]);

  if (!keep) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  return 0;
}
