// The header of a legacy definition: its descriptive texts and the link
// settings. The data commands live beside it in ALDLDefinition.
// Thread contract: see ALDLItem.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ALDLHeader {
 public:
  static constexpr std::size_t kDefinitionVersionCapacity = 15;
  static constexpr std::size_t kTitleCapacity = 100;
  static constexpr std::size_t kAuthorCapacity = 50;
  static constexpr std::size_t kEngineCapacity = 50;
  static constexpr std::size_t kYearCapacity = 30;
  static constexpr std::size_t kVinCodeCapacity = 15;
  static constexpr std::size_t kCodeMaskCapacity = 25;
  static constexpr std::size_t kCommentsCapacity = 256;

  float formatVersion = 1.21f;
  std::string definitionVersion = "Version 1.0";
  std::string title = "New ALDL Datastream Definition";
  std::string author;
  std::string engine;
  std::string year;
  std::string vinCode;
  std::string codeMask;
  std::string comments;
  int32_t baud = 8192;
  uint32_t flags = 0;
  uint32_t checksumId = 0;
  uint8_t numDataCommands = 0;
};
