#include "analysis/LogStatistics.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>

#include "definition/ADXDefinition.h"
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

namespace {

// The number a value shows, remembered by raw number: a value whose variables
// all read its own raw number (no links) shows a number that depends on that
// raw number alone, since equations and lookup tables have no state. An 8-bit
// value keeps the numbers of all 256 raw numbers, a wider one its last.
class NumberMemo {
 public:
  explicit NumberMemo(const ADXObject& item) {
    if (item.objectType != ADX_TYPE_VALUE) return;
    const auto& value = static_cast<const ADXValue&>(item);
    for (const ValueVariable& variable : value.variables) {
      if (variable.kind == kVariableLink) return;
    }
    pure_ = true;
    if (value.sizeinbits <= 8) {
      numbers_.assign(256, 0.0);
      known_.assign(256, 0);
    }
  }

  // For a record of the item's own command.
  double Number(const ADXDefinition& definition, ADXObject& item, const BoundPacket& packet) {
    if (!pure_) return ItemNumber(definition, item, packet);
    // Taking the raw number stores it, as the conversion would.
    const std::int32_t raw = static_cast<ADXValue&>(item).ExtractRaw(packet.data, packet.length, 0, 0);
    if (!numbers_.empty() && raw >= 0 && raw < 256) {
      const auto index = static_cast<std::size_t>(raw);
      if (!known_[index]) {
        numbers_[index] = ItemNumber(definition, item, packet);
        known_[index] = 1;
      }
      return numbers_[index];
    }
    if (!hasLast_ || raw != lastRaw_) {
      lastNumber_ = ItemNumber(definition, item, packet);
      lastRaw_ = raw;
      hasLast_ = true;
    }
    return lastNumber_;
  }

 private:
  bool pure_ = false;
  std::vector<double> numbers_;
  std::vector<std::uint8_t> known_;
  bool hasLast_ = false;
  std::int32_t lastRaw_ = 0;
  double lastNumber_ = 0.0;
};

// Statistics of the items from one replay (the items' closures are not shared
// with any other replay running at the same time).
void ComputeGroup(const LogBinding& binding, const std::vector<ADXObject*>& items, std::size_t first,
                  std::size_t last, std::vector<Accumulator>& accumulators,
                  const std::vector<std::size_t>& slots) {
  const LogData& log = binding.Log();
  const ADXDefinition& definition = binding.Definition();
  std::vector<NumberMemo> memos;
  memos.reserve(items.size());
  for (const ADXObject* item : items) memos.emplace_back(*item);
  ReplayLog(
      binding, first, last, items,
      [&](std::size_t record, const BoundPacket& packet) {
        const double seconds = log.TimeSeconds(record);
        for (std::size_t i = 0; i < items.size(); ++i) {
          if (!ItemReadsCommand(*items[i], packet.command)) continue;
          accumulators[slots[i]].Add(memos[i].Number(definition, *items[i], packet), seconds);
        }
      },
      ReplayVisit::kConvertsEvery);
}

// Splits the items into two groups whose dependency closures do not meet, as
// evenly as the links allow; the second group is empty when they cannot be split.
void SplitIndependent(const ADXDefinition& definition, const std::vector<ADXObject*>& items,
                      std::vector<std::size_t>* first, std::vector<std::size_t>* second) {
  // Components: items that share anything in their closures stay together.
  std::vector<std::vector<ADXObject*>> closures;
  for (ADXObject* item : items) closures.push_back(DependencyClosure(definition, {item}));
  std::vector<std::size_t> component(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) component[i] = i;
  auto root = [&](std::size_t i) {
    while (component[i] != i) i = component[i];
    return i;
  };
  for (std::size_t i = 0; i < items.size(); ++i) {
    for (std::size_t j = i + 1; j < items.size(); ++j) {
      bool shared = false;
      for (ADXObject* a : closures[i]) {
        if (std::find(closures[j].begin(), closures[j].end(), a) != closures[j].end()) {
          shared = true;
          break;
        }
      }
      if (shared) component[root(j)] = root(i);
    }
  }
  // Whole components go to the smaller group, largest first.
  std::vector<std::vector<std::size_t>> groups(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) groups[root(i)].push_back(i);
  std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
  for (const auto& g : groups) {
    auto& target = first->size() <= second->size() ? *first : *second;
    target.insert(target.end(), g.begin(), g.end());
  }
}

}  // namespace

std::vector<ItemStatistics> ComputeStatistics(const LogBinding& binding, const std::vector<ADXObject*>& items,
                                              const TimeRange& range) {
  std::vector<Accumulator> accumulators;
  accumulators.reserve(items.size());
  for (const ADXObject* item : items) accumulators.emplace_back(*item);
  const LogData& log = binding.Log();
  const std::size_t first = log.LowerBound(range.fromSeconds);
  const std::size_t last = log.UpperBound(range.toSeconds);
  if (first < last && !items.empty()) {
    std::vector<std::size_t> a, b;
    // Two independent halves of a large job run side by side.
    const bool split = (last - first) * items.size() >= 200000 && std::thread::hardware_concurrency() > 1;
    if (split) SplitIndependent(binding.Definition(), items, &a, &b);
    if (b.empty()) {
      a.clear();
      for (std::size_t i = 0; i < items.size(); ++i) a.push_back(i);
      ComputeGroup(binding, items, first, last, accumulators, a);
    } else {
      auto pick = [&](const std::vector<std::size_t>& slots) {
        std::vector<ADXObject*> out;
        for (std::size_t i : slots) out.push_back(items[i]);
        return out;
      };
      const std::vector<ADXObject*> itemsA = pick(a), itemsB = pick(b);
      std::thread helper;
      try {
        helper = std::thread([&] { ComputeGroup(binding, itemsB, first, last, accumulators, b); });
      } catch (const std::system_error&) {
        ComputeGroup(binding, itemsB, first, last, accumulators, b);
      }
      ComputeGroup(binding, itemsA, first, last, accumulators, a);
      if (helper.joinable()) helper.join();
    }
  }
  std::vector<ItemStatistics> out;
  out.reserve(items.size());
  for (Accumulator& acc : accumulators) out.push_back(acc.Finish());
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
