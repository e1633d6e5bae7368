// Decoding every item of a 100-item definition from one 63-byte packet:
// values with equations, links and lookup tables, and bitmasks.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"

namespace {

constexpr std::size_t kPacketSize = 63;
constexpr int kValues = 70;
constexpr int kBitmasks = 30;
constexpr int kTables = 4;

struct BenchDefinition {
  ADXDefinition def;
  std::vector<ADXValue*> values;
  std::vector<ADXBitmask*> bitmasks;
  std::uint8_t packet[kPacketSize];

  BenchDefinition() {
    std::vector<ADXLookupTable*> tables;
    for (int t = 0; t < kTables; ++t) {
      auto table = std::make_unique<ADXLookupTable>();
      table->SetId(("TABLE" + std::to_string(t)).c_str());
      table->SetLookupMode(t % 4);
      for (int e = 0; e < 16; ++e) table->AddEntry(static_cast<float>(e * 17), static_cast<float>(e * e));
      tables.push_back(table.get());
      def.Append(std::move(table));
    }
    static const char* const kEquations[] = {"X*0.5+10", "(X-40)*1.8+32", "X*100/256", "X", "(X*256+X)/4"};
    for (int i = 0; i < kValues; ++i) {
      auto v = std::make_unique<ADXValue>();
      v->SetId(("VALUE" + std::to_string(i)).c_str());
      v->packetoffset = static_cast<std::uint32_t>((i * 7) % (kPacketSize - 1));
      v->sizeinbits = i % 3 == 0 ? 16 : 8;
      if (i % 5 == 1 && i > 10) {
        // Linked: this value's raw plus a scaled earlier value, which is itself linked half the time.
        v->SetEquation("X+L*0.1", 7);
        v->SetVariableSource('L', kVariableLink, values[static_cast<std::size_t>(i - 10)]->idhash);
      } else {
        const char* eq = kEquations[i % 5];
        v->SetEquation(eq, std::strlen(eq));
      }
      if (i % 4 == 3) v->lookup = tables[static_cast<std::size_t>(i % kTables)];
      v->outputtype = static_cast<OutputType>(i % 4);
      v->flags = i % 7 == 0 ? kValueSigned : 0;
      values.push_back(v.get());
      def.Append(std::move(v));
    }
    for (int i = 0; i < kBitmasks; ++i) {
      auto b = std::make_unique<ADXBitmask>();
      b->SetId(("FLAG" + std::to_string(i)).c_str());
      b->packetoffset = static_cast<std::uint32_t>((i * 11) % kPacketSize);
      b->operand = 1u << (i % 8);
      b->result = b->operand;
      b->bitop = i % 2;
      b->SetTrueString("ON", 2);
      b->SetFalseString("OFF", 3);
      bitmasks.push_back(b.get());
      def.Append(std::move(b));
    }
    for (std::size_t i = 0; i < kPacketSize; ++i) packet[i] = static_cast<std::uint8_t>(i * 37 + 11);
  }
};

// Numbers: take the raw values and convert every item.
void BM_DecodePacketNumbers(benchmark::State& state) {
  BenchDefinition b;
  for (auto _ : state) {
    b.def.UpdateRawValues(b.packet, kPacketSize, 0);
    double sum = 0.0;
    for (ADXValue* v : b.values) sum += v->Convert(&b.def, b.packet, kPacketSize, 0, 0);
    int set = 0;
    for (ADXBitmask* m : b.bitmasks) set += m->TestBits(b.packet, kPacketSize, 0, 0);
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(set);
  }
}
BENCHMARK(BM_DecodePacketNumbers)->Unit(benchmark::kMicrosecond);

// Texts, as an item list shows them.
void BM_DecodePacketTexts(benchmark::State& state) {
  BenchDefinition b;
  char text[64];
  for (auto _ : state) {
    b.def.UpdateRawValues(b.packet, kPacketSize, 0);
    for (ADXValue* v : b.values) v->Format(text, sizeof(text), &b.def, b.packet, kPacketSize, 0, 0);
    for (ADXBitmask* m : b.bitmasks) m->TestBitsText(text, sizeof(text), &b.def, b.packet, kPacketSize, 0, 0);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_DecodePacketTexts)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
