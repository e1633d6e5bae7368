#pragma once
// Readings of values and bitmasks as the panes show them: an object is
// evaluated against the packet only when it belongs to no command or to the
// packet's command; otherwise it gives its most recent value.
//
// Thread contract: safe on any thread; decoding only writes the objects'
// atomic raw values (see ADXValue.h and ADXBitmask.h).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ADXBitmask;
class ADXDefinition;
class ADXValue;

// The packet of one update (none for a trigger or before the first packet).
struct PanePacket {
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;
  std::uint32_t command = 0;

  static PanePacket Of(const std::vector<std::uint8_t>& bytes, bool hasPacket, std::uint32_t command) {
    return {hasPacket ? bytes.data() : nullptr, hasPacket ? bytes.size() : 0, command};
  }
  // The packet for an object with this command association, or none.
  PanePacket For(std::uint32_t association) const {
    if (association == 0 || association == command) return *this;
    return {nullptr, 0, command};
  }
};

// The converted number of a value.
double ValueReading(const ADXDefinition* definition, ADXValue& value, const PanePacket& packet);
// The formatted text of a value (at most 40 characters) and the number shown.
std::string ValueText(const ADXDefinition* definition, ADXValue& value, const PanePacket& packet,
                      double* shown = nullptr);
// The state (0 or 1) of a bitmask.
int BitmaskState(const ADXDefinition* definition, ADXBitmask& bitmask, const PanePacket& packet);
// The TRUE or FALSE text of a bitmask and its state.
std::string BitmaskText(const ADXDefinition* definition, ADXBitmask& bitmask, const PanePacket& packet,
                        int* state = nullptr);

// A definition text (8-bit) cut to at most maxChars characters.
std::string CutText(const std::string& text, std::size_t maxChars);
