// CSV item rows of a 28-item definition (20 values of every output type, 8
// bitmasks) for 300,000 packets: rows built with the locale-free formatter,
// as the command-line tool builds them, against the same rows built with one
// snprintf per number. Prints records per second for both, the ratio, and
// whether the two texts are identical.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"
#include "definition/NumberText.h"
#include "tools/varnak-cli/ItemRows.h"

namespace {

constexpr int kPackets = 300000;
constexpr std::size_t kPacketSize = 40;
constexpr double kGoalRatio = 1.0;  // the formatter must beat printf

struct Definition {
  ADXDefinition def;
  std::vector<ADXObject*> items;

  Definition() {
    static const char* const kEquations[] = {"X*0.5+-40", "(X-40)*1.8+32", "X*100/256", "X*0.0625", "X/3"};
    for (int i = 0; i < 20; ++i) {
      auto v = std::make_unique<ADXValue>();
      v->SetId(("VALUE" + std::to_string(i)).c_str());
      v->packetoffset = static_cast<std::uint32_t>((i * 3) % (kPacketSize - 2));
      v->sizeinbits = i % 3 == 0 ? 16 : 8;
      const char* eq = kEquations[i % 5];
      v->SetEquation(eq, std::strlen(eq));
      // Mostly floating point, as real definitions are.
      v->outputtype = i < 12 ? kOutputFloat : static_cast<OutputType>(i % 4);
      v->digcount = static_cast<std::uint8_t>(i % 4);
      items.push_back(v.get());
      def.Append(std::move(v));
    }
    for (int i = 0; i < 8; ++i) {
      auto b = std::make_unique<ADXBitmask>();
      b->SetId(("FLAG" + std::to_string(i)).c_str());
      b->packetoffset = static_cast<std::uint32_t>(i * 5);
      b->operand = 1u << i;
      b->result = b->operand;
      b->SetTrueString("ON", 2);
      b->SetFalseString("OFF", 3);
      items.push_back(b.get());
      def.Append(std::move(b));
    }
  }
};

void FillPacket(std::uint8_t* packet, int n) {
  for (std::size_t i = 0; i < kPacketSize; ++i)
    packet[i] = static_cast<std::uint8_t>(n * 31 + i * 17 + (n >> 3));
}

// The rows as they were built before: one snprintf per number.
void AppendPrintfRow(std::string& out, const Definition& d, double time, const std::uint8_t* packet) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", time);
  out += text;
  for (ADXObject* item : d.items) {
    out.push_back(',');
    if (item->objectType == ADX_TYPE_VALUE) {
      auto* v = static_cast<ADXValue*>(item);
      const double n = v->Format(nullptr, 0, &d.def, packet, kPacketSize, 0, 0);
      text[0] = '\0';
      switch (v->outputtype) {
        case kOutputHex:
          std::snprintf(text, ItemRowFormatter::kValueTextSize, "%.*X", v->digcount, TruncToUInt32Bits(n));
          break;
        case kOutputInteger:
          std::snprintf(text, ItemRowFormatter::kValueTextSize, "%.*i", v->digcount, TruncToInt32(n));
          break;
        case kOutputUnsigned:
          std::snprintf(text, ItemRowFormatter::kValueTextSize, "%.*u", v->digcount, TruncToUInt32Bits(n));
          break;
        case kOutputFloat:
          std::snprintf(text, ItemRowFormatter::kValueTextSize, "%.*f", v->digcount, n);
          break;
        default:
          break;
      }
      AppendCsvField(out, text, std::strlen(text));
    } else {
      static_cast<ADXBitmask*>(item)->TestBitsText(text, sizeof text, &d.def, packet, kPacketSize, 0, 0);
      AppendCsvField(out, text, std::strlen(text));
    }
  }
  out.push_back('\n');
}

template <typename Build>
double RecordsPerSecond(Build build, std::string& out) {
  std::uint8_t packet[kPacketSize];
  const auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < kPackets; ++n) {
    FillPacket(packet, n);
    build(out, n * 0.0125, packet);
    if (out.size() > (1u << 24)) out.clear();  // keep memory flat; the last rows stay for the comparison
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  return kPackets / seconds.count();
}

}  // namespace

int main() {
  Definition d;
  ItemRowFormatter rows(d.def);
  if (rows.ItemCount() != 28) {
    std::fprintf(stderr, "expected 28 items, have %zu\n", rows.ItemCount());
    return 1;
  }
  std::string fast;
  std::string slow;
  fast.reserve(1u << 25);
  slow.reserve(1u << 25);
  const double printfRate = RecordsPerSecond(
      [&](std::string& out, double t, const std::uint8_t* p) { AppendPrintfRow(out, d, t, p); }, slow);
  const double fastRate = RecordsPerSecond(
      [&](std::string& out, double t, const std::uint8_t* p) { rows.AppendRow(out, t, p, kPacketSize, 0); },
      fast);
  const double ratio = fastRate / printfRate;
  std::printf("CSV rows, 28 items, %d packets\n", kPackets);
  std::printf("  locale-free formatter: %12.0f records/s\n", fastRate);
  std::printf("  snprintf per number:   %12.0f records/s\n", printfRate);
  std::printf("  ratio %.2f (goal: above %.2f)%s\n", ratio, kGoalRatio, ratio > kGoalRatio ? "" : "  MISSED");
  std::printf("  texts identical: %s\n", fast == slow ? "yes" : "NO");
  return fast == slow ? 0 : 1;
}
