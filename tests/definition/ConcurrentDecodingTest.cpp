// The acquisition thread and the GUI thread decode the same linked values and
// use the same histogram at once; each must see results computed from its own
// packet only.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "definition/ADXDefinition.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"

namespace {

constexpr int kRounds = 20000;

struct Fixture {
  ADXDefinition def;
  ADXValue* doubled = nullptr;  // X*2 at offset 0
  ADXValue* summed = nullptr;   // X + L with L linked to doubled, at offset 1
  ADXValue* tabled = nullptr;   // X through an identity table, at offset 2
  ADXHistogram* histogram = nullptr;

  Fixture() {
    auto a = std::make_unique<ADXValue>();
    a->SetId("DBL");
    a->SetEquation("X*2", 3);
    doubled = a.get();
    def.Append(std::move(a));

    auto b = std::make_unique<ADXValue>();
    b->SetId("SUM");
    b->SetEquation("X+L", 3);
    b->packetoffset = 1;
    b->SetVariableSource('L', kVariableLink, doubled->idhash);
    summed = b.get();
    def.Append(std::move(b));

    auto t = std::make_unique<ADXLookupTable>();
    t->SetId("ID");
    t->AddEntry(0.0f, 0.0f);
    t->AddEntry(255.0f, 255.0f);
    auto c = std::make_unique<ADXValue>();
    c->SetId("TAB");
    c->SetEquation("X", 1);
    c->packetoffset = 2;
    c->lookup = t.get();
    tabled = c.get();
    def.Append(std::move(t));
    def.Append(std::move(c));

    auto h = std::make_unique<ADXHistogram>();
    h->SetRows(4);
    h->SetCols(4);
    h->SetXMin(0.0f);
    h->SetXMax(255.0f);
    h->SetYMin(0.0f);
    h->SetYMax(255.0f);
    h->SetXValue(doubled);
    h->SetYValue(tabled);
    h->SetZValue(summed);
    histogram = h.get();
    def.Append(std::move(h));
  }
};

}  // namespace

TEST(ConcurrentDecoding, TwoThreadsConvertLinkedValuesFromTheirOwnPackets) {
  Fixture f;
  std::atomic<int> acquisitionErrors{0};
  std::atomic<int> guiErrors{0};
  std::atomic<bool> done{false};

  std::thread acquisition([&] {
    for (int i = 0; i < kRounds; ++i) {
      const auto k = static_cast<std::uint8_t>(i % 100);
      const std::uint8_t packet[3] = {k, k, k};
      f.def.UpdateRawValues(packet, sizeof(packet), 0);
      if (f.summed->Convert(&f.def, packet, sizeof(packet), 0, 0) != 3.0 * k) ++acquisitionErrors;
      if (f.tabled->Convert(&f.def, packet, sizeof(packet), 0, 0) != static_cast<double>(k)) {
        ++acquisitionErrors;
      }
      f.histogram->AddSampleFromPacket(&f.def, packet, sizeof(packet), 0);
    }
    done = true;
  });

  int guiRounds = 0;
  char text[32];
  while (!done || guiRounds < 1000) {
    const auto m = static_cast<std::uint8_t>(100 + guiRounds % 50);
    const std::uint8_t packet[3] = {m, m, m};
    const double shown = f.summed->Format(text, sizeof(text), &f.def, packet, sizeof(packet), 0, 0);
    if (shown != 3.0 * m) ++guiErrors;
    f.histogram->GetCellStatistic(kStatMean, guiRounds % 4, (guiRounds / 4) % 4, text, sizeof(text));
    f.histogram->GetHistorySize();
    // Readings without a packet only see whole raw words.
    const double fromRaw = f.doubled->Convert(&f.def, nullptr, 0, 0, 0);
    if (static_cast<int>(fromRaw) % 2 != 0) ++guiErrors;
    ++guiRounds;
  }
  acquisition.join();

  EXPECT_EQ(acquisitionErrors.load(), 0);
  EXPECT_EQ(guiErrors.load(), 0);
  EXPECT_EQ(f.histogram->SampleCount(), static_cast<std::uint32_t>(kRounds));
}

TEST(ConcurrentDecoding, ClearingWhileSamplesArrive) {
  Fixture f;
  std::atomic<bool> done{false};
  std::thread acquisition([&] {
    for (int i = 0; i < kRounds; ++i) {
      const std::uint8_t packet[3] = {static_cast<std::uint8_t>(i), 7, static_cast<std::uint8_t>(i * 3)};
      f.histogram->AddSampleFromPacket(&f.def, packet, sizeof(packet), 0);
    }
    done = true;
  });
  int clears = 0;
  while (!done) {
    f.histogram->ClearData();
    f.histogram->SetHistorySize(3 + clears % 5);
    ++clears;
  }
  acquisition.join();
  // Whatever arrived after the last clear is all in the grid.
  std::uint32_t total = 0;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      total += static_cast<std::uint32_t>(f.histogram->GetCellStatistic(kStatCount, r, c, nullptr, 0));
    }
  }
  EXPECT_EQ(total, f.histogram->SampleCount());
}
