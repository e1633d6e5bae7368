#include "definition/RawField.h"

bool ReadRawField(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                  std::int32_t sizeInBits, bool swap, std::uint32_t* word) {
  if (packet == nullptr) return false;
  std::size_t count = sizeInBits > 0 ? static_cast<std::size_t>(sizeInBits) / 8 : 0;
  if (count > 4) count = 4;
  if (offset > length || count > length - offset) return false;
  std::uint32_t w = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t shift = swap ? (count - 1 - i) * 8 : i * 8;
    w |= static_cast<std::uint32_t>(packet[offset + i]) << shift;
  }
  *word = w;
  return true;
}
