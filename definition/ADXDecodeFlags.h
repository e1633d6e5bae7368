#pragma once
// Call flags passed to every decoding operation of values and bitmasks.
#include <cstdint>

constexpr std::uint32_t kDecodeAtOffset = 0x1;  // read at the offset given in the call, not packetoffset
constexpr std::uint32_t kDecodeNoSwap = 0x2;    // never reverse the byte order
constexpr std::uint32_t kDecodeNoLookup = 0x4;  // skip the lookup-table stage
