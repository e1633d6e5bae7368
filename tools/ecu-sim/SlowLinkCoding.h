#pragma once

// Coding of the 160-baud data line as it reaches a fast serial port: every
// bit cell of the slow line arrives as one byte. A packet is a lead-in byte,
// a sync of nine zero bytes, then nine bytes per data byte: a non-zero start
// marker followed by the eight bits, most significant first, where a zero
// byte is a 1 bit and a non-zero byte a 0 bit.
//
// The lead-in byte is non-zero so that zero bytes sent before the packet (the
// 1 bits at the end of the previous packet) cannot join the sync: a reader
// that counts nine zero bytes in a row must land exactly on the first start
// marker. Inside a packet at most eight zero bytes follow each other, because
// every word begins with its non-zero marker.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/ecu-sim/EcuScenario.h"

inline constexpr std::uint8_t kSlowLinkMark = 0xFF;  // the byte used for every non-zero cell
inline constexpr std::size_t kSlowLinkSyncLength = 9;
inline constexpr std::size_t kSlowLinkWordLength = 9;

// The bytes of one packet carrying `data` (1 + 9 + 9 * data.size() bytes).
EcuBytes encodeSlowLinkPacket(const EcuBytes& data);
