#include "tools/ecu-sim/SlowLinkCoding.h"

EcuBytes encodeSlowLinkPacket(const EcuBytes& data) {
  EcuBytes out;
  out.reserve(1 + kSlowLinkSyncLength + kSlowLinkWordLength * data.size());
  out.push_back(kSlowLinkMark);
  out.insert(out.end(), kSlowLinkSyncLength, 0x00);
  for (std::uint8_t byte : data) {
    out.push_back(kSlowLinkMark);
    for (int bit = 7; bit >= 0; --bit) out.push_back(((byte >> bit) & 1) ? 0x00 : kSlowLinkMark);
  }
  return out;
}
