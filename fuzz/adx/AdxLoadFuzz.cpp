// Feeds arbitrary bytes to the ADX loader as a definition file, then decodes
// every item of the loaded definition from a packet, so that whatever the
// loader accepted (references, link chains, odd sizes and offsets) is used the
// way acquisition and the item lists use it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXFile.h"
#include "definition/ADXHistogram.h"
#include "definition/ADXValue.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ADXDefinition def;
  AdxLoadReport report;
  const int loaded = LoadAdxFromMemory(&def, data, size, "fuzz.adx", nullptr, &report);
  Require(report.message.size() <= 255);
  if (!loaded) return 0;

  std::vector<std::uint8_t> packet(80);
  for (std::size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<std::uint8_t>(i * 37 + size);
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    ADXObject* o = def.ObjectAt(i);
    if (o == nullptr) continue;
    def.UpdateRawValues(packet.data(), packet.size(), o->idhash);
  }
  char text[64];
  for (std::size_t i = 0; i < def.ObjectCount(); ++i) {
    ADXObject* o = def.ObjectAt(i);
    if (o == nullptr) continue;
    if (o->objectType == ADX_TYPE_VALUE) {
      static_cast<ADXValue*>(o)->Format(text, sizeof(text), &def, nullptr, 0, 0, 0);
    } else if (o->objectType == ADX_TYPE_BITMASK) {
      static_cast<ADXBitmask*>(o)->TestBitsText(text, sizeof(text), &def, nullptr, 0, 0, 0);
    } else if (o->objectType == ADX_TYPE_HISTOGRAM) {
      static_cast<ADXHistogram*>(o)->AddSampleFromPacket(&def, packet.data(), packet.size(), 0);
    }
  }
  return 0;
}
