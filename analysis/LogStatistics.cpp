#include "analysis/LogStatistics.h"

#include <algorithm>
#include <cmath>

#include "definition/ADXValue.h"

namespace {

// Running statistics of one item.
class Accumulator {
 public:
  explicit Accumulator(const ADXObject& item) {
    if (item.objectType == ADX_TYPE_VALUE) {
      const auto& value = static_cast<const ADXValue&>(item);
      high_ = (value.flags & kValueAlarmHigh) != 0;
      low_ = (value.flags & kValueAlarmLow) != 0;
      alarmHigh_ = value.alarmhigh;
      alarmLow_ = value.alarmlow;
    }
    stats_.hasHighAlarm = high_;
    stats_.hasLowAlarm = low_;
  }

  void Add(double number, double seconds) {
    Close(seconds);
    if (stats_.count == 0) {
      stats_.minimum = stats_.maximum = number;
    } else {
      stats_.minimum = std::min(stats_.minimum, number);
      stats_.maximum = std::max(stats_.maximum, number);
    }
    ++stats_.count;
    sum_ += number;
    lastNumber_ = number;
    lastSeconds_ = seconds;
  }

  ItemStatistics Finish() {
    stats_.mean = stats_.count != 0 ? sum_ / static_cast<double>(stats_.count) : 0.0;
    return stats_;
  }

 private:
  // The previous sample held until now.
  void Close(double seconds) {
    if (stats_.count == 0) return;
    const double held = seconds - lastSeconds_;
    if (high_ && lastNumber_ > alarmHigh_) stats_.secondsAboveHigh += held;
    if (low_ && lastNumber_ < alarmLow_) stats_.secondsBelowLow += held;
  }

  ItemStatistics stats_;
  bool high_ = false;
  bool low_ = false;
  double alarmHigh_ = 0.0;
  double alarmLow_ = 0.0;
  double sum_ = 0.0;
  double lastNumber_ = 0.0;
  double lastSeconds_ = 0.0;
};

}  // namespace

std::vector<ItemStatistics> ComputeStatistics(const LogBinding& binding, const std::vector<ADXObject*>& items,
                                              const TimeRange& range) {
  std::vector<Accumulator> accumulators;
  accumulators.reserve(items.size());
  for (const ADXObject* item : items) accumulators.emplace_back(*item);
  const LogData& log = binding.Log();
  const std::size_t first = log.LowerBound(range.fromSeconds);
  const std::size_t last = log.UpperBound(range.toSeconds);
  const ADXDefinition& definition = binding.Definition();
  if (first < last) {
    ReplayLog(binding, first, last, [&](std::size_t record, const BoundPacket& packet) {
      const double seconds = log.TimeSeconds(record);
      for (std::size_t i = 0; i < items.size(); ++i) {
        if (!ItemReadsCommand(*items[i], packet.command)) continue;
        accumulators[i].Add(ItemNumber(definition, *items[i], packet), seconds);
      }
    });
  }
  std::vector<ItemStatistics> out;
  out.reserve(items.size());
  for (Accumulator& a : accumulators) out.push_back(a.Finish());
  return out;
}

ItemStatistics StatisticsFromColumn(const LogBinding& binding, const ADXObject& item,
                                    const std::vector<float>& column, std::size_t first, std::size_t last) {
  Accumulator accumulator(item);
  last = std::min(last, column.size());
  BoundPacket packet;
  for (std::size_t r = first; r < last; ++r) {
    if (!binding.PacketOf(r, &packet) || !ItemReadsCommand(item, packet.command)) continue;
    accumulator.Add(column[r], binding.Log().TimeSeconds(r));
  }
  return accumulator.Finish();
}
