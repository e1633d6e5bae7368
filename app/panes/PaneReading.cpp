#include "app/panes/PaneReading.h"

#include "definition/ADXBitmask.h"
#include "definition/ADXValue.h"

double ValueReading(const ADXDefinition* definition, ADXValue& value, const PanePacket& packet) {
  const PanePacket p = packet.For(value.parentcmdidhash);
  return value.Convert(definition, p.data, p.length, 0, 0);
}

std::string ValueText(const ADXDefinition* definition, ADXValue& value, const PanePacket& packet,
                      double* shown) {
  const PanePacket p = packet.For(value.parentcmdidhash);
  char buffer[41] = {};
  const double number = value.Format(buffer, sizeof buffer, definition, p.data, p.length, 0, 0);
  if (shown != nullptr) *shown = number;
  return buffer;
}

int BitmaskState(const ADXDefinition* /*definition*/, ADXBitmask& bitmask, const PanePacket& packet) {
  const PanePacket p = packet.For(bitmask.parentcmdidhash);
  return bitmask.TestBits(p.data, p.length, 0, 0) ? 1 : 0;
}

std::string BitmaskText(const ADXDefinition* definition, ADXBitmask& bitmask, const PanePacket& packet,
                        int* state) {
  const PanePacket p = packet.For(bitmask.parentcmdidhash);
  char buffer[kBitmaskTextMax + 1] = {};
  const int s = bitmask.TestBitsText(buffer, sizeof buffer, definition, p.data, p.length, 0, 0);
  if (state != nullptr) *state = s ? 1 : 0;
  return buffer;
}

std::string CutText(const std::string& text, std::size_t maxChars) {
  return text.size() > maxChars ? text.substr(0, maxChars) : text;
}
