// Base of the items of a legacy (ADS) definition: values, bits, lookup
// tables and the dash. The items are plain data filled by the ADS reader and
// read by the conversion to the current definition format.
//
// Thread contract: none of the legacy classes lock; one thread at a time
// reads a file into a definition and uses it afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Type codes of the item records of an ADS file.
enum ALDLItemType : uint32_t {
  kAldlTypeValue = 1,
  kAldlTypeBit = 2,
  kAldlTypeLookupTable = 5,
  kAldlTypeDash = 6,
};

// Item flag set while reading when the item's unique ID was already taken
// by an item read before it. It is cleared when the item gets a new ID.
constexpr uint32_t kAldlItemFlagDuplicateId = 0x1;

class ALDLItem {
 public:
  static constexpr std::size_t kCommentsCapacity = 256;

  explicit ALDLItem(uint32_t itemType) : type(itemType) {}
  virtual ~ALDLItem() = default;

  uint32_t type;
  std::string comments = "<Comments>";
  int32_t separator = 0;
  int32_t visible = 1;
  uint32_t uniqueId = 0;
  uint32_t itemFlags = 0;
  int fileLine = 0;  // line of the record's "{" in the file read, for messages; 0 when not read

 protected:
  // Copies only through a derived class, so an item is never sliced.
  ALDLItem(const ALDLItem&) = default;
  ALDLItem& operator=(const ALDLItem&) = default;
};
