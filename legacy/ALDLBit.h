// A legacy true/false item: one bit of one byte of a reply packet.
// Thread contract: see ALDLItem.h.
#pragma once

#include "legacy/ALDLItem.h"

class ALDLBit : public ALDLItem {
 public:
  static constexpr std::size_t kTitleCapacity = 100;
  static constexpr std::size_t kStateTextCapacity = 15;

  ALDLBit() : ALDLItem(kAldlTypeBit) {}

  uint8_t byteNumber = 0;  // counts from 1 in files; 0 means not set
  uint8_t messageNumber = 1;
  uint8_t bitNumber = 0;
  std::string title = "New ALDL Bit";
  int32_t alarmWhenSet = 0;
  int32_t alarmWhenClear = 0;
  std::string setText = "1";
  std::string clearText = "0";
};
