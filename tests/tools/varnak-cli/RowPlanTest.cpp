// The CSV rows of scan, play and export are written from a plan made once per
// definition; they must be byte for byte the rows that each item's own
// formatting gives (the item list's texts, quoted as CSV). Random
// definitions and packets compare the two, including the latest readings
// that short packets and other commands' packets fall back on.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"
#include "tools/varnak-cli/ItemRows.h"

namespace {

constexpr int kPacketSize = 24;

struct Built {
  std::unique_ptr<ADXDefinition> def;
  std::vector<std::uint32_t> commands;
};

// The same seed builds the same definition, so that two copies go through
// the same packets with their own latest readings.
Built BuildDefinition(std::uint64_t seed) {
  std::mt19937_64 random(seed);
  Built built;
  built.def = std::make_unique<ADXDefinition>();
  ADXDefinition& def = *built.def;
  for (const char* id : {"FAST", "SLOW"}) {
    auto command = std::make_unique<ADXCSendCommand>();
    command->SetId(id);
    command->flags = kSendReadReply;
    command->replysize = command->packetsize = kPacketSize;
    built.commands.push_back(command->idhash);
    if (def.monitorcmd == nullptr) def.monitorcmd = command.get();
    def.Append(std::move(command));
  }
  auto table = std::make_unique<ADXLookupTable>();
  table->SetId("TABLE");
  table->AddEntry(0.0f, 10.0f);
  table->AddEntry(100.0f, 20.0f);
  ADXLookupTable* lookup = table.get();
  def.Append(std::move(table));

  const char* equations[] = {
      "X*0.75-40",    "X/2.55", "(X-40)*1.8+32", "X",     "X*X*0.001+X*0.5-3", "100/X-1", "12.5", "X*100/255",
      "X*0.0195-0.5", "-X",     "X*1e12",        "X/1e9", "(A*256+B)/4"};
  const char* texts[] = {"ON", "OFF", "", "a,b", "say \"hi\"", " padded ", "line\nbreak", "long text"};
  std::vector<ADXValue*> values;
  const int items = 40;
  for (int i = 0; i < items; ++i) {
    const std::string id = "ITEM" + std::to_string(i);
    const std::uint32_t parent = random() % 5 == 0 ? 0 : built.commands[random() % 2];
    const int sizes[] = {8, 16, 32, 0, 12, 24};
    if (random() % 4 == 0) {
      auto b = std::make_unique<ADXBitmask>();
      b->SetId(id.c_str());
      b->packetoffset = static_cast<std::uint32_t>(random() % (kPacketSize + 4));
      b->sizeinbits = sizes[random() % 6];
      b->flags = static_cast<std::uint32_t>(random() % 4);
      b->operand = static_cast<std::uint32_t>(random());
      b->result = random() % 2 ? b->operand & 0xFF : 0;
      b->bitop = static_cast<std::int32_t>(random() % 3);
      b->parentcmdidhash = parent;
      const char* t = texts[random() % 8];
      const char* f = texts[random() % 8];
      b->SetTrueString(t, std::strlen(t));
      b->SetFalseString(f, std::strlen(f));
      def.Append(std::move(b));
      continue;
    }
    auto v = std::make_unique<ADXValue>();
    v->SetId(id.c_str());
    const char* eq = equations[random() % (sizeof equations / sizeof equations[0])];
    v->SetEquation(eq, std::strlen(eq));
    v->packetoffset = static_cast<std::uint32_t>(random() % (kPacketSize + 4));
    v->sizeinbits = sizes[random() % 6];
    v->flags = static_cast<std::uint32_t>(random() % 4);  // signed, LSB first
    v->outputtype = static_cast<OutputType>(random() % 6);
    const int digits[] = {0, 1, 2, 3, 6, 9, 12, 20, 21, 40, 255};
    v->digcount = static_cast<std::uint8_t>(digits[random() % 11]);
    v->parentcmdidhash = parent;
    if (random() % 10 == 0) v->lookup = lookup;
    values.push_back(v.get());
    def.Append(std::move(v));
  }
  // A few values read another value through a link.
  for (ADXValue* v : values) {
    if (random() % 8 == 0 && v->VariableCount() > 0) {
      const ADXValue* other = values[random() % values.size()];
      (void)v->SetVariableSource(v->GetVariable(0)->varID, kVariableLink, other->idhash);
    }
  }
  return built;
}

// The row through each item's own text, as the item list shows it.
std::string RowByItems(const ItemRowFormatter& items, double time, const std::uint8_t* packet,
                       std::size_t length, std::uint32_t command) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", time);
  std::string row = text;
  for (std::size_t i = 0; i < items.ItemCount(); ++i) {
    row.push_back(',');
    const std::string field = items.ItemText(i, packet, length, command);
    AppendCsvField(row, field.data(), field.size());
  }
  row.push_back('\n');
  return row;
}

}  // namespace

TEST(RowPlanTest, PlannedRowsAreTheItemsOwnTexts) {
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    Built planned = BuildDefinition(seed);
    Built inPlace = BuildDefinition(seed);
    Built reference = BuildDefinition(seed);
    const ItemRowFormatter rows(*planned.def);
    const ItemRowFormatter rowsInPlace(*inPlace.def);
    const ItemRowFormatter items(*reference.def);
    std::mt19937_64 random(seed * 7919);
    std::string row;
    std::vector<char> buffer(rows.RowBound());
    for (int p = 0; p < 300; ++p) {
      std::uint8_t packet[kPacketSize];
      for (std::uint8_t& byte : packet) byte = static_cast<std::uint8_t>(random());
      // Short packets fall back on the latest readings; so do other commands'.
      const std::size_t length = random() % 6 == 0 ? random() % kPacketSize : kPacketSize;
      const std::uint32_t command = planned.commands[random() % 2];
      const double times[] = {0.0, 0.0005, 1.2345, 59.9995, 3600.25, 1e9 + 0.0625, 1e16, -0.0};
      const double time = times[random() % 8] + static_cast<double>(p) * 0.0125;
      row.clear();
      rows.AppendRow(row, time, packet, length, command);
      const std::string expected = RowByItems(items, time, packet, length, command);
      ASSERT_EQ(row, expected) << "seed " << seed << ", packet " << p;
      // The in-place form gives the same row when the time fits it (its own
      // copy of the definition keeps its own latest readings).
      char* end =
          rowsInPlace.WriteRow(buffer.data(), buffer.data() + buffer.size(), time, packet, length, command);
      if (end == nullptr) {
        // Only a time beyond the bound takes the long way.
        EXPECT_GE(time, 1e15);
        row.clear();
        rowsInPlace.AppendRow(row, time, packet, length, command);
        EXPECT_EQ(row, expected) << "seed " << seed << ", packet " << p;
      } else {
        EXPECT_EQ(std::string(buffer.data(), end), expected) << "seed " << seed << ", packet " << p;
      }
    }
  }
}

// A range shorter than the bound is refused rather than overrun.
TEST(RowPlanTest, WriteRowRefusesARangeShorterThanItsBound) {
  Built built = BuildDefinition(3);
  const ItemRowFormatter rows(*built.def);
  std::vector<char> buffer(rows.RowBound() - 1);
  const std::uint8_t packet[kPacketSize] = {};
  EXPECT_EQ(rows.WriteRow(buffer.data(), buffer.data() + buffer.size(), 1.0, packet, kPacketSize,
                          built.commands[0]),
            nullptr);
}
