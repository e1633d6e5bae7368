// A legacy numeric item: a raw number taken from a reply packet and the
// operation that turns it into the number or text the user sees.
// Thread contract: see ALDLItem.h.
#pragma once

#include <string>

#include "legacy/ALDLItem.h"

class ALDLLookupTable;

// How a value's raw number becomes its display.
enum ALDLOperation : uint32_t {
  kAldlOpLinear = 0,       // offset + factor * r
  kAldlOpInverse = 1,      // offset + factor / r (just the offset for r = 0)
  kAldlOpHexadecimal = 2,  // r as hexadecimal digits
  kAldlOpInteger = 3,      // the linear value truncated toward zero
  kAldlOpPercent = 4,      // (r - range low) / (range high - range low) * 100
  kAldlOpCharacter = 5,    // the character with code r ("?" for 0)
  kAldlOpLookup = 6,       // the linked lookup table's entry r - 1 (entry 0 for r = 0)
};

class ALDLValue : public ALDLItem {
 public:
  static constexpr std::size_t kTitleCapacity = 100;
  static constexpr std::size_t kUnitsCapacity = 25;

  ALDLValue() : ALDLItem(kAldlTypeValue) {}

  uint8_t byteNumber = 0;  // counts from 1 in files; 0 means not set
  uint8_t messageNumber = 1;
  uint32_t sizeInBits = 8;
  std::string title = "New ALDL Value";
  uint32_t operation = kAldlOpLinear;
  double factor = 1.0;
  double offset = 0.0;
  std::string units = "Units";
  uint32_t alarmHigh = 255;  // raw numbers, shown through the operation
  int32_t alarmHighEnabled = 0;
  uint32_t alarmLow = 0;
  int32_t alarmLowEnabled = 0;
  int32_t rangeHigh = 255;
  int32_t rangeLow = 0;
  int32_t lookupTableId = -1;                    // unique ID of the table, -1 for none
  const ALDLLookupTable* lookupTable = nullptr;  // linked after reading, not owned

  // The raw number as the operation sees it: masked to the item's size
  // (1, 8, 16, 24 or 32 bits); any other size reads as 0.
  uint32_t EffectiveRaw(uint32_t raw) const;

  // The operation's result as a number: the hexadecimal and character
  // operations give the raw number itself, the integer operation the
  // truncated linear value, a lookup without a linked table 0, and an
  // unknown operation the raw number unconverted.
  double NumericValue(uint32_t raw) const;

  // The legacy display of a raw number: "%.2f" for the linear, inverse,
  // percent and lookup operations (and unknown ones), "%i" for the integer
  // operation, upper-case hexadecimal digits for the hexadecimal operation
  // and one character for the character operation.
  std::string DisplayText(uint32_t raw) const;
};
