// The legacy dash: which values are shown as gauges and which as monitors.
// The lists are resolved from the definition's ID texts after reading and
// point into the definition's value list (not owned).
// Thread contract: see ALDLItem.h.
#pragma once

#include <vector>

#include "legacy/ALDLItem.h"

class ALDLValue;

class ALDLDash : public ALDLItem {
 public:
  ALDLDash() : ALDLItem(kAldlTypeDash) {}

  uint8_t numGauges = 0;
  uint8_t numMonitors = 0;
  std::vector<const ALDLValue*> gauges;
  std::vector<const ALDLValue*> monitors;
};
