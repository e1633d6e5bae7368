// Decoding runs for every item on every packet, on the acquisition thread:
// it must not allocate. Counts every operator new while items are decoded.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"

// The replaced operators pair malloc with free on purpose; GCC's check cannot
// see that once it inlines them into a caller of the standard operator new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

TEST(DecodeAllocation, DecodingAllocatesNothing) {
  ADXDefinition def;
  auto table = std::make_unique<ADXLookupTable>();
  table->SetId("T");
  table->AddEntry(0.0f, 0.0f);
  table->AddEntry(100.0f, 50.0f);
  auto* tableRaw = table.get();
  def.Append(std::move(table));

  auto base = std::make_unique<ADXValue>();
  base->SetId("BASE");
  base->SetEquation("X*2", 3);
  base->lookup = tableRaw;
  auto* baseRaw = base.get();
  def.Append(std::move(base));

  auto linked = std::make_unique<ADXValue>();
  linked->SetId("LINKED");
  linked->SetEquation("(A*256+B)/4+L", 13);
  linked->sizeinbits = 16;
  linked->SetVariableSource('L', kVariableLink, baseRaw->idhash);
  auto* linkedRaw = linked.get();
  def.Append(std::move(linked));

  auto flag = std::make_unique<ADXBitmask>();
  flag->SetId("FLAG");
  flag->operand = 1;
  flag->result = 1;
  flag->SetTrueString("Closed loop", 11);
  auto* flagRaw = flag.get();
  def.Append(std::move(flag));

  const std::uint8_t packet[8] = {9, 8, 7, 6, 5, 4, 3, 2};
  char text[64];
  const long before = g_allocations.load();
  for (int i = 0; i < 10; ++i) {
    def.UpdateRawValues(packet, sizeof(packet), 0);
    for (OutputType type : {kOutputHex, kOutputInteger, kOutputUnsigned, kOutputFloat, kOutputPercent}) {
      linkedRaw->outputtype = type;
      linkedRaw->Format(text, sizeof(text), &def, packet, sizeof(packet), 0, 0);
    }
    baseRaw->Format(text, sizeof(text), &def, packet, sizeof(packet), 0, 0);
    linkedRaw->Convert(&def, nullptr, 0, 0, 0);
    flagRaw->TestBitsText(text, sizeof(text), &def, packet, sizeof(packet), 0, 0);
    linkedRaw->AlarmState(&def);
  }
  EXPECT_EQ(g_allocations.load() - before, 0);
}
