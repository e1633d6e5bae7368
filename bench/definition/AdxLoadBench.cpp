// Loading a generated definition of 2,000 objects: the ADX loader against
// parsing the same file with tinyxml2 (which only builds a DOM and reads no
// definition), and the saver for comparison.
#include <benchmark/benchmark.h>
#include <tinyxml2.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "tests/definition/AdxSampleDefinitions.h"

namespace {

constexpr int kObjects = 2000;

// The generated file, written once.
const std::string& BenchFile() {
  static const std::string path = [] {
    std::string p = "/tmp/varnak_adx_load_bench.adx";
    ADXDefinition def;
    BuildLargeDefinition(def, kObjects);
    if (!SaveAdx(&def, p.c_str(), nullptr)) std::fprintf(stderr, "cannot write %s\n", p.c_str());
    return p;
  }();
  return path;
}

void BM_LoadAdx(benchmark::State& state) {
  const std::string& path = BenchFile();
  ADXDefinition def;
  for (auto _ : state) {
    int ok = LoadAdx(&def, path.c_str(), nullptr, 0, nullptr);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError("load failed");
  }
  state.counters["objects"] = static_cast<double>(def.ObjectCount());
}
BENCHMARK(BM_LoadAdx)->Unit(benchmark::kMillisecond);

void BM_Tinyxml2ParseFile(benchmark::State& state) {
  const std::string& path = BenchFile();
  for (auto _ : state) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLError error = doc.LoadFile(path.c_str());
    benchmark::DoNotOptimize(error);
    if (error != tinyxml2::XML_SUCCESS) state.SkipWithError("tinyxml2 parse failed");
  }
}
BENCHMARK(BM_Tinyxml2ParseFile)->Unit(benchmark::kMillisecond);

void BM_SaveAdx(benchmark::State& state) {
  ADXDefinition def;
  BuildLargeDefinition(def, kObjects);
  const std::string path = "/tmp/varnak_adx_save_bench.adx";
  for (auto _ : state) {
    int ok = SaveAdx(&def, path.c_str(), nullptr);
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_SaveAdx)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
