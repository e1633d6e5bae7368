// Decoding the records of a log with one definition, the way playback does:
// a record is used only when the definition has its command (a send command
// that processes its reply, or a 160-baud listen, matched by ID hash and
// type); a send command's packet is the part of the reply from its
// packetoffset, packetsize bytes long, cut to what the reply holds. For each
// used record, in record order, the definition first takes the record's raw
// values, then the views read the items: an item bound to no command or to the
// record's command from the packet, any other from its last raw value.
//
// Thread contract: a LogBinding is read-only after Bind. Replaying changes the
// raw values held by the definition's items, so one definition is replayed by
// one thread at a time, and never the definition that live scanning or
// playback is using.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/LogData.h"

class ADXDefinition;
class ADXObject;

// Where a record's packet lies for one definition.
struct BoundPacket {
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;
  std::uint32_t command = 0;  // the command's ID hash
};

class LogBinding {
 public:
  LogBinding(const LogData& log, const ADXDefinition& definition);

  const LogData& Log() const { return log_; }
  const ADXDefinition& Definition() const { return definition_; }
  // False when the definition does not process the record (its command is
  // missing or does not read replies).
  bool PacketOf(std::size_t record, BoundPacket* out) const;
  // Entries of the log whose command the definition does not know.
  std::size_t UnknownEntries() const;

 private:
  struct Slot {
    bool used = false;
    std::size_t offset = 0;
    std::size_t length = 0;
    std::uint32_t command = 0;
  };
  const LogData& log_;
  const ADXDefinition& definition_;
  std::vector<Slot> slots_;  // per log entry
};

// Sets the last raw value of every value and bitmask to 0, as after loading.
void ResetRawValues(const ADXDefinition& definition);

// Whether an item (value or bitmask) is read from a packet of this command.
bool ItemReadsCommand(const ADXObject& item, std::uint32_t command);

// The values and bitmasks of a definition, in definition order.
std::vector<ADXObject*> DefinitionItems(const ADXDefinition& definition);

// The number an item shows after the raw values of a record were taken:
// a value's converted output (for a value whose lookup table gives texts,
// the number before the lookup, as the item list shows it), a bitmask's 1 or 0.
double ItemNumber(const ADXDefinition& definition, ADXObject& item, const BoundPacket& packet);
// The text the item list shows for the item (values by output type, lookup
// table or not; bitmasks their true or false text).
std::string ItemText(const ADXDefinition& definition, ADXObject& item, const BoundPacket& packet);
// Whether an item has only texts to show (a bitmask, or a value whose lookup
// table gives texts): its numbers are not compared.
bool ItemIsTextOnly(const ADXObject& item);
// The item's title (its ID when it has none) and units ("" when none).
std::string ItemTitle(const ADXObject& item);
std::string ItemUnits(const ADXObject& item);
std::string ItemId(const ADXObject& item);

// Calls visit(record, packet) for every record from first to last (exclusive)
// that the definition processes, after the definition took its raw values.
// Records before `first` are taken too (without visiting), so that items of
// other commands hold the raw values they had at that point.
template <typename Visit>
void ReplayLog(const LogBinding& binding, std::size_t first, std::size_t last, Visit&& visit);

// The Replay template needs UpdateRawValues.
#include "definition/ADXDefinition.h"

template <typename Visit>
void ReplayLog(const LogBinding& binding, std::size_t first, std::size_t last, Visit&& visit) {
  const ADXDefinition& definition = binding.Definition();
  ResetRawValues(definition);
  const std::size_t count = binding.Log().RecordCount();
  if (last > count) last = count;
  BoundPacket packet;
  for (std::size_t r = 0; r < last; ++r) {
    if (!binding.PacketOf(r, &packet)) continue;
    definition.UpdateRawValues(packet.data, packet.length, packet.command);
    if (r >= first) visit(r, packet);
  }
}
