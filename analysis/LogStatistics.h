// Statistics of items over a time range of a log: for every record in range
// that carries the item (its command, or any record for an item bound to no
// command), the number it shows.
//
// Thread contract: ComputeStatistics replays the binding's definition (one
// caller at a time per definition); for a large job it runs two replays of
// items with disjoint dependency closures side by side on a helper thread it
// joins before returning. StatisticsFromColumn only reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/LogDecoding.h"

class ADXObject;

struct ItemStatistics {
  std::size_t count = 0;
  double minimum = 0.0;
  double maximum = 0.0;
  double mean = 0.0;
  // Seconds the item spent above its high alarm (below its low alarm): each
  // sample holds until the item's next sample in range. Only for values whose
  // alarm is switched on; otherwise the has* flag is false.
  bool hasHighAlarm = false;
  bool hasLowAlarm = false;
  double secondsAboveHigh = 0.0;
  double secondsBelowLow = 0.0;
};

// Records in [fromSeconds, toSeconds].
struct TimeRange {
  double fromSeconds = -1e300;
  double toSeconds = 1e300;
};

// One entry per item, in the order given.
std::vector<ItemStatistics> ComputeStatistics(const LogBinding& binding, const std::vector<ADXObject*>& items,
                                              const TimeRange& range);

// The same for one item from its decoded column (32-bit numbers), over the
// records first .. last (exclusive).
ItemStatistics StatisticsFromColumn(const LogBinding& binding, const ADXObject& item,
                                    const std::vector<float>& column, std::size_t first, std::size_t last);
