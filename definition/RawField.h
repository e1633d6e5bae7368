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
bool ReadRawField(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                  std::int32_t sizeInBits, bool swap, std::uint32_t* word);
