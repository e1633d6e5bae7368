#pragma once
// Reading the raw number of an item out of a reply packet.
//
// Thread contract: pure function.
#include <cstddef>
#include <cstdint>

// Reads sizeInBits / 8 bytes (at most 4) at offset into the low end of a word,
// the first byte least significant; then reverses them (most significant byte
// first) when swap is true and more than one byte was read. Returns false,
// and leaves *word alone, when there is no packet or the bytes reach past its end.
// Inline: every item of every packet passes here.
inline bool ReadRawField(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                         std::int32_t sizeInBits, bool swap, std::uint32_t* word) {
  if (packet == nullptr) return false;
  std::size_t count = sizeInBits > 0 ? static_cast<std::size_t>(sizeInBits) / 8 : 0;
  if (count > 4) count = 4;
  if (offset > length || count > length - offset) return false;
  const std::uint8_t* at = packet + offset;
  if (count == 1) {
    *word = at[0];
    return true;
  }
  if (count == 2) {
    *word = swap ? (std::uint32_t{at[0]} << 8) | at[1] : (std::uint32_t{at[1]} << 8) | at[0];
    return true;
  }
  std::uint32_t w = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t shift = swap ? (count - 1 - i) * 8 : i * 8;
    w |= static_cast<std::uint32_t>(at[i]) << shift;
  }
  *word = w;
  return true;
}
