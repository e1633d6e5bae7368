// Decoding the records of a log with one definition, the way playback does:
// a record is used only when the definition has its command (a send command
// that processes its reply, or a 160-baud listen, matched by ID hash and
// type); a send command's packet is the part of the reply from its
// packetoffset, packetsize bytes long, cut to what the reply holds. For each
// used record, in record order, the definition first takes the record's raw
// values, then the views read the items: an item bound to no command or to the
// record's command from the packet, any other from its last raw value.
//
// Thread contract: a LogBinding is read-only after construction. Replaying
// changes the raw values and equation variables of the items it reads (and of
// what they link to), so two threads may replay one definition only for items
// whose dependency closures are disjoint; never replay the definition that
// live scanning or playback is using.
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
// The same for the given items only.
void ResetRawValues(const std::vector<ADXObject*>& items);

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

// The items and every value their equations reach through links: the items
// whose raw values decide what the given items show.
std::vector<ADXObject*> DependencyClosure(const ADXDefinition& definition,
                                          const std::vector<ADXObject*>& items);

// Per log entry, the items whose raw values a record of that entry updates
// (those bound to no command or to the entry's command), among `items`.
class RawValueUpdater {
 public:
  RawValueUpdater(const LogBinding& binding, const std::vector<ADXObject*>& items);
  // What UpdateRawValues does for the record, limited to the items.
  void Update(std::size_t record, const BoundPacket& packet) const;

 private:
  const LogBinding& binding_;
  std::vector<std::vector<ADXObject*>> perEntry_;
};

// What a replay's visit does with the items it is given.
enum class ReplayVisit {
  kMayRead,        // reads some of them
  kConvertsEvery,  // converts every one bound to the record's command, from the packet
};

// Calls visit(record, packet) for every record from first to last (exclusive)
// that the definition processes, after the raw values of `reads` (and of what
// they link to) were taken from the record, as UpdateRawValues takes them.
// Records before `first` are taken too (without visiting), so that items of
// other commands hold the raw values they had at that point. Only the items
// in `reads` (and their links) may be read by visit. A visit that converts
// every item of the record's command from the packet stores those raw values
// itself (a conversion from a packet takes the raw number first), so with
// kConvertsEvery they are not taken twice.
template <typename Visit>
void ReplayLog(const LogBinding& binding, std::size_t first, std::size_t last,
               const std::vector<ADXObject*>& reads, Visit&& visit,
               ReplayVisit mode = ReplayVisit::kMayRead) {
  const std::vector<ADXObject*> closure = DependencyClosure(binding.Definition(), reads);
  const RawValueUpdater before(binding, closure);
  std::vector<ADXObject*> rest;
  if (mode == ReplayVisit::kConvertsEvery) {
    for (ADXObject* item : closure) {
      bool read = false;
      for (ADXObject* r : reads) read = read || r == item;
      if (!read) rest.push_back(item);
    }
  }
  const RawValueUpdater during(binding, mode == ReplayVisit::kConvertsEvery ? rest : closure);
  ResetRawValues(closure);
  const std::size_t count = binding.Log().RecordCount();
  if (last > count) last = count;
  BoundPacket packet;
  for (std::size_t r = 0; r < last; ++r) {
    if (!binding.PacketOf(r, &packet)) continue;
    if (r < first) {
      before.Update(r, packet);
    } else {
      during.Update(r, packet);
      visit(r, packet);
    }
  }
}
