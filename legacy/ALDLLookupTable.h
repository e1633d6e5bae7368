// A legacy lookup table: a fixed number of entries of a fixed byte size,
// filled from the table's data text. Entries given in the file are marked,
// so that a conversion can tell them from entries filled by interpolation.
// Thread contract: see ALDLItem.h.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "legacy/ALDLItem.h"

class ALDLValue;
class AdsMessageLog;

// Data types of a lookup table's entries.
enum ALDLTableDataType : uint8_t {
  kAldlTableInteger = 1,
  kAldlTableFloat = 2,
};

class ALDLLookupTable : public ALDLItem {
 public:
  static constexpr std::size_t kNameCapacity = 100;
  // Entries hold at most a 32-bit integer or float; larger entry sizes from
  // a file are capped here so that the storage stays small.
  static constexpr uint16_t kMaxEntrySize = 8;

  ALDLLookupTable() : ALDLItem(kAldlTypeLookupTable) {}

  uint8_t dataType = kAldlTableFloat;
  uint16_t tableSize = 256;  // number of entries
  uint16_t entrySize = 0;    // bytes per entry
  std::string name = "New Lookup Table";
  std::vector<const ALDLValue*> users;  // values linked to this table, not owned

  // Sizes the storage to tableSize x entrySize bytes, all 0 and none given.
  void SizeStorage();

  // Number of entries that have storage (0 until SizeStorage).
  std::size_t EntryCount() const { return given_.size(); }

  // True when the entry's data type and size let it hold a value: integer
  // entries need at least 1 byte, float entries 4.
  bool EntriesHoldValues() const;

  // Stores a value at an entry: integers in entrySize bytes (at most 4,
  // little-endian; 1- and 2-byte entries unsigned, wider ones signed 32-bit,
  // out-of-range numbers clamped), floats as 4-byte floats in the entry's
  // first bytes. Returns false when the index lies outside the storage or
  // the entry cannot hold the value (nothing is written then).
  bool StoreEntry(std::size_t index, double value);

  // The stored value of an entry; 0 outside the storage.
  double EntryValue(std::size_t index) const;

  bool IsGiven(std::size_t index) const { return index < given_.size() && given_[index]; }
  void MarkGiven(std::size_t index);

  // Reads the table's data text: lines of "index, value" with blanks and
  // tabs around them. Sizes the storage first. Each valid line is stored and
  // marked as given; gaps in a float table are filled by linear
  // interpolation (not marked as given); gaps in an integer table stay 0.
  // `firstLine` is the file line on which the text starts, for messages.
  void ReadData(std::string_view text, int firstLine, AdsMessageLog& log);

  const std::vector<uint8_t>& Storage() const { return storage_; }

 private:
  std::vector<uint8_t> storage_;
  std::vector<bool> given_;
};
