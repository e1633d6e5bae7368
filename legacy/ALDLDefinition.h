// A legacy (ADS) definition in memory: the header, up to ten data commands,
// the values, bits and lookup tables in file order, and the dash. It owns
// its items; links between them (a value's lookup table, a table's users,
// the dash lists) are plain pointers into the owned lists, set by
// FinishReading and valid while the definition lives (moving the definition
// keeps them valid, copying is not allowed).
//
// Thread contract: no locking; one thread at a time reads a file into a
// definition and uses it afterwards.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "legacy/ALDLBit.h"
#include "legacy/ALDLCommand.h"
#include "legacy/ALDLDash.h"
#include "legacy/ALDLHeader.h"
#include "legacy/ALDLLookupTable.h"
#include "legacy/ALDLValue.h"

class AdsMessageLog;

class ALDLDefinition {
 public:
  static constexpr std::size_t kMaxDataCommands = 10;
  static constexpr std::size_t kDashIdsCapacity = 100;
  static constexpr float kCurrentFormatVersion = 1.21f;

  ALDLDefinition() = default;
  ALDLDefinition(const ALDLDefinition&) = delete;
  ALDLDefinition& operator=(const ALDLDefinition&) = delete;
  ALDLDefinition(ALDLDefinition&&) = default;
  ALDLDefinition& operator=(ALDLDefinition&&) = default;

  ALDLHeader header;
  std::array<ALDLCommand, kMaxDataCommands> commands{};
  std::vector<std::unique_ptr<ALDLValue>> values;
  std::vector<std::unique_ptr<ALDLBit>> bits;
  std::vector<std::unique_ptr<ALDLLookupTable>> tables;
  ALDLDash dash;
  std::string dashGaugeIds;    // unique IDs of the dash gauges, "," or ";" separated
  std::string dashMonitorIds;  // unique IDs of the dash monitors
  float formatVersion = kCurrentFormatVersion;
  bool hadDuplicateIds = false;  // set when reading met a unique ID twice

  // Back to a new definition: lists empty, header and commands at their
  // defaults.
  void Reset();

  // Appends an item read from a file. An item whose unique ID is already
  // held by an item added before it (in any of the three lists) is marked
  // with kAldlItemFlagDuplicateId.
  ALDLValue& AddValue(std::unique_ptr<ALDLValue> value);
  ALDLBit& AddBit(std::unique_ptr<ALDLBit> bit);
  ALDLLookupTable& AddTable(std::unique_ptr<ALDLLookupTable> table);

  // Lookups over one list in list order; each returns the first match or
  // nullptr.
  ALDLValue* ValueAt(std::size_t index) const;
  ALDLValue* FindValueByName(std::string_view title) const;
  ALDLValue* FindValueById(uint32_t uniqueId) const;
  ALDLBit* BitAt(std::size_t index) const;
  ALDLBit* FindBitByName(std::string_view title) const;
  ALDLBit* FindBitById(uint32_t uniqueId) const;
  ALDLLookupTable* TableAt(std::size_t index) const;
  ALDLLookupTable* FindTableByName(std::string_view name) const;
  ALDLLookupTable* FindTableById(uint32_t uniqueId) const;

  // True when any value, bit or table holds the unique ID.
  bool IsIdUsed(uint32_t uniqueId) const;

  // The steps after a file is read: duplicate IDs are replaced, values are
  // linked to their tables and the dash lists are resolved.
  void FinishReading(AdsMessageLog& log);

  // Gives every item marked as a duplicate, list by list (values, bits,
  // tables) in list order, the smallest ID from 1 upward that no item holds,
  // and clears the mark.
  void ReplaceDuplicateIds(AdsMessageLog& log);

  // Links each value whose table ID is 0 or more to the table with that
  // unique ID, and records it among the table's users. A value whose table
  // does not exist stays unlinked; the values after it are still linked.
  void LinkLookupTables(AdsMessageLog& log);

  // Resolves the dash's gauge and monitor ID texts to values; entries beyond
  // the dash's counts and IDs that name no value are dropped.
  void ResolveDash(AdsMessageLog& log);

 private:
  void NoteId(ALDLItem& item);

  std::unordered_set<uint32_t> usedIds_;
};
