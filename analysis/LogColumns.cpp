#include "analysis/LogColumns.h"

#include <algorithm>
#include <limits>

#include "definition/ADXBitmask.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXValue.h"

std::vector<float> DecodeColumn(const LogBinding& binding, ADXObject& item) {
  const ADXDefinition& definition = binding.Definition();
  const std::vector<ADXObject*> depends = DependencyClosure(definition, {&item});
  for (ADXObject* object : depends) {
    if (object->objectType == ADX_TYPE_VALUE) static_cast<ADXValue*>(object)->SetLastRaw(0);
    if (object->objectType == ADX_TYPE_BITMASK) static_cast<ADXBitmask*>(object)->SetLastRaw(0);
  }
  const std::size_t count = binding.Log().RecordCount();
  std::vector<float> column(count, std::numeric_limits<float>::quiet_NaN());
  float last = std::numeric_limits<float>::quiet_NaN();
  BoundPacket packet;
  for (std::size_t r = 0; r < count; ++r) {
    if (binding.PacketOf(r, &packet)) {
      // The raw values that UpdateRawValues would store for this record.
      for (ADXObject* object : depends) {
        if (!ItemReadsCommand(*object, packet.command)) continue;
        if (object->objectType == ADX_TYPE_VALUE) {
          static_cast<ADXValue*>(object)->ExtractRaw(packet.data, packet.length, 0, 0);
        } else {
          static_cast<ADXBitmask*>(object)->ExtractRaw(packet.data, packet.length, 0, 0);
        }
      }
      last = static_cast<float>(ItemNumber(definition, item, packet));
    }
    column[r] = last;
  }
  return column;
}

const std::vector<float>& ColumnCache::Column(ADXObject& item) {
  auto it = columns_.find(&item);
  if (it != columns_.end()) return it->second;
  return columns_.emplace(&item, DecodeColumn(binding_, item)).first->second;
}

std::size_t ColumnCache::MemoryBytes() const {
  std::size_t bytes = 0;
  for (const auto& [item, column] : columns_) bytes += column.capacity() * sizeof(float);
  return bytes;
}
