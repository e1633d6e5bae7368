// Feeds arbitrary bytes to the ADS reader. The reader must never crash,
// hang or overrun, and what it produces must keep its own limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "legacy/ALDLDefinition.h"
#include "legacy/AdsMessage.h"
#include "legacy/AdsReader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ALDLDefinition definition;
  AdsMessageLog log;
  ReadAdsText(text, definition, &log);

  Check(log.Messages().size() <= AdsMessageLog::kMaxMessages + 1);
  Check(definition.header.numDataCommands <= ALDLDefinition::kMaxDataCommands);
  Check(definition.header.title.size() <= ALDLHeader::kTitleCapacity);
  for (const ALDLCommand& command : definition.commands) {
    Check(command.name.size() <= ALDLCommand::kNameCapacity);
    Check(command.BytesToSend().size() <= ALDLCommand::kMaxCommandBytes);
  }
  for (const auto& value : definition.values) {
    Check(value->title.size() <= ALDLValue::kTitleCapacity);
    Check((value->itemFlags & kAldlItemFlagDuplicateId) == 0);
    // Every operation must give a display for any raw number.
    for (uint32_t raw : {0u, 1u, 255u, 0xFFFFFFFFu}) Check(!value->DisplayText(raw).empty());
  }
  for (const auto& table : definition.tables) {
    Check(table->entrySize <= ALDLLookupTable::kMaxEntrySize);
    for (std::size_t i = 0; i < table->EntryCount(); i += 97) (void)table->EntryValue(i);
  }
  for (const auto& bit : definition.bits) {
    Check(bit->setText.size() <= ALDLBit::kStateTextCapacity);
    Check(bit->clearText.size() <= ALDLBit::kStateTextCapacity);
  }
  // Unique IDs are unique after reading.
  for (std::size_t i = 0; i < definition.values.size(); ++i) {
    for (std::size_t j = i + 1; j < definition.values.size() && j < i + 64; ++j) {
      Check(definition.values[i]->uniqueId != definition.values[j]->uniqueId);
    }
  }
  return 0;
}
