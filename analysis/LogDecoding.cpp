#include "analysis/LogDecoding.h"

#include <algorithm>
#include <cstring>

#include "definition/ADXBitmask.h"
#include "definition/ADXCommands.h"
#include "definition/ADXDecodeFlags.h"
#include "definition/ADXDefinition.h"
#include "definition/ADXLookupTable.h"
#include "definition/ADXValue.h"

LogBinding::LogBinding(const LogData& log, const ADXDefinition& definition)
    : log_(log), definition_(definition) {
  for (const XdlEntry& entry : log.Entries()) {
    Slot slot;
    const ADXObject* object = definition.FindByHash(entry.commandIdHash);
    if (object != nullptr && object->objectType == entry.commandType) {
      const std::size_t available = entry.fullSize;
      if (object->objectType == ADX_TYPE_SENDCOMMAND) {
        const auto* send = static_cast<const ADXCSendCommand*>(object);
        if ((send->flags & kSendReadReply) != 0) {
          slot.used = true;
          slot.offset =
              std::min<std::size_t>(available, static_cast<std::size_t>(std::max(0, send->packetoffset)));
          slot.length = std::min<std::size_t>(available - slot.offset,
                                              static_cast<std::size_t>(std::max(0, send->packetsize)));
        }
      } else if (object->objectType == ADX_TYPE_160BAUDLISTEN) {
        slot.used = true;
        slot.offset = 0;
        slot.length = available;
      }
      slot.command = object->idhash;
    }
    slots_.push_back(slot);
  }
}

bool LogBinding::PacketOf(std::size_t record, BoundPacket* out) const {
  const LogRecord& r = log_.Record(record);
  const Slot& slot = slots_[r.entry];
  if (!slot.used) return false;
  out->data = log_.Packet(record) + slot.offset;
  out->length = slot.length;
  out->command = slot.command;
  return true;
}

std::size_t LogBinding::UnknownEntries() const {
  return static_cast<std::size_t>(
      std::count_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.used; }));
}

void ResetRawValues(const ADXDefinition& definition) {
  for (std::size_t i = 0; i < definition.ObjectCount(); ++i) {
    ADXObject* object = definition.ObjectAt(i);
    if (object == nullptr) continue;
    if (object->objectType == ADX_TYPE_VALUE) static_cast<ADXValue*>(object)->SetLastRaw(0);
    if (object->objectType == ADX_TYPE_BITMASK) static_cast<ADXBitmask*>(object)->SetLastRaw(0);
  }
}

void ResetRawValues(const std::vector<ADXObject*>& items) {
  for (ADXObject* object : items) {
    if (object->objectType == ADX_TYPE_VALUE) static_cast<ADXValue*>(object)->SetLastRaw(0);
    if (object->objectType == ADX_TYPE_BITMASK) static_cast<ADXBitmask*>(object)->SetLastRaw(0);
  }
}

bool ItemReadsCommand(const ADXObject& item, std::uint32_t command) {
  std::uint32_t parent = 0;
  if (item.objectType == ADX_TYPE_VALUE) parent = static_cast<const ADXValue&>(item).parentcmdidhash;
  if (item.objectType == ADX_TYPE_BITMASK) parent = static_cast<const ADXBitmask&>(item).parentcmdidhash;
  return parent == 0 || parent == command;
}

std::vector<ADXObject*> DefinitionItems(const ADXDefinition& definition) {
  std::vector<ADXObject*> items;
  for (std::size_t i = 0; i < definition.ObjectCount(); ++i) {
    ADXObject* object = definition.ObjectAt(i);
    if (object != nullptr &&
        (object->objectType == ADX_TYPE_VALUE || object->objectType == ADX_TYPE_BITMASK)) {
      items.push_back(object);
    }
  }
  return items;
}

double ItemNumber(const ADXDefinition& definition, ADXObject& item, const BoundPacket& packet) {
  const bool own = ItemReadsCommand(item, packet.command);
  const std::uint8_t* data = own ? packet.data : nullptr;
  const std::size_t length = own ? packet.length : 0;
  if (item.objectType == ADX_TYPE_VALUE) {
    // The number shown: a table of texts shows the number before the lookup.
    auto& value = static_cast<ADXValue&>(item);
    const bool texts = value.lookup != nullptr && value.lookup->outputtype == kLookupText;
    return value.Convert(&definition, data, length, 0, texts ? kDecodeNoLookup : 0);
  }
  if (item.objectType == ADX_TYPE_BITMASK) {
    return static_cast<ADXBitmask&>(item).TestBits(data, length, 0, 0) != 0 ? 1.0 : 0.0;
  }
  return 0.0;
}

std::string ItemText(const ADXDefinition& definition, ADXObject& item, const BoundPacket& packet) {
  const bool own = ItemReadsCommand(item, packet.command);
  const std::uint8_t* data = own ? packet.data : nullptr;
  const std::size_t length = own ? packet.length : 0;
  char text[kBitmaskTextMax + 1] = {};
  if (item.objectType == ADX_TYPE_VALUE) {
    static_cast<ADXValue&>(item).Format(text, 41, &definition, data, length, 0, 0);
  } else if (item.objectType == ADX_TYPE_BITMASK) {
    static_cast<ADXBitmask&>(item).TestBitsText(text, sizeof text, &definition, data, length, 0, 0);
  }
  return std::string(text, strnlen(text, sizeof text));
}

bool ItemIsTextOnly(const ADXObject& item) {
  if (item.objectType == ADX_TYPE_BITMASK) return true;
  if (item.objectType != ADX_TYPE_VALUE) return true;
  const ADXLookupTable* lookup = static_cast<const ADXValue&>(item).lookup;
  return lookup != nullptr && lookup->outputtype == kLookupText;
}

std::string ItemId(const ADXObject& item) {
  return std::string(item.id, strnlen(item.id, kAdxIdMaxLength));
}

std::string ItemTitle(const ADXObject& item) {
  return item.title.empty() ? ItemId(item) : item.title;
}

std::string ItemUnits(const ADXObject& item) {
  if (item.objectType == ADX_TYPE_VALUE) return static_cast<const ADXValue&>(item).units;
  return std::string();
}

std::vector<ADXObject*> DependencyClosure(const ADXDefinition& definition,
                                          const std::vector<ADXObject*>& items) {
  std::vector<ADXObject*> found = items;
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (found[i]->objectType != ADX_TYPE_VALUE) continue;
    for (const ValueVariable& variable : static_cast<ADXValue*>(found[i])->variables) {
      if (variable.kind != kVariableLink) continue;
      ADXObject* linked = definition.FindByHash(variable.linkhash);
      if (linked == nullptr || linked->objectType != ADX_TYPE_VALUE) continue;
      if (std::find(found.begin(), found.end(), linked) == found.end()) found.push_back(linked);
    }
  }
  return found;
}

RawValueUpdater::RawValueUpdater(const LogBinding& binding, const std::vector<ADXObject*>& items)
    : binding_(binding) {
  const std::vector<XdlEntry>& entries = binding.Log().Entries();
  perEntry_.resize(entries.size());
  for (std::size_t e = 0; e < entries.size(); ++e) {
    // Items in definition order, as UpdateRawValues visits them.
    for (ADXObject* item : DefinitionItems(binding.Definition())) {
      if (std::find(items.begin(), items.end(), item) == items.end()) continue;
      if (ItemReadsCommand(*item, entries[e].commandIdHash)) perEntry_[e].push_back(item);
    }
  }
}

void RawValueUpdater::Update(std::size_t record, const BoundPacket& packet) const {
  for (ADXObject* item : perEntry_[binding_.Log().Record(record).entry]) {
    if (item->objectType == ADX_TYPE_VALUE) {
      static_cast<ADXValue*>(item)->ExtractRaw(packet.data, packet.length, 0, 0);
    } else {
      static_cast<ADXBitmask*>(item)->ExtractRaw(packet.data, packet.length, 0, 0);
    }
  }
}
