// One data request of a legacy definition: the bytes sent to the ECU and
// the shape of its reply.
// Thread contract: see ALDLItem.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ALDLCommand {
 public:
  static constexpr std::size_t kNameCapacity = 100;
  static constexpr std::size_t kMaxCommandBytes = 12;
  // Longest token of the command-byte list that is read; longer ones are cut.
  static constexpr std::size_t kMaxByteTokenLength = 11;

  std::string name = "New ALDL Data Command";
  std::array<uint8_t, kMaxCommandBytes> commandBytes{};
  int32_t totalBytes = 0;
  int32_t payloadBytes = 63;
  int32_t bytesBeforePayload = 0;
  int32_t checksum = 1;
  int32_t master = 0;
  int32_t monitor = 0;
  int32_t chainTo = -1;

  // Result of reading a command-byte list.
  struct ByteListResult {
    std::size_t bytesRead = 0;     // bytes stored into commandBytes
    std::size_t bytesIgnored = 0;  // tokens beyond the twelfth
    std::size_t tokensCut = 0;     // tokens longer than kMaxByteTokenLength
  };

  // Reads hexadecimal bytes separated by "," (a trailing "," is allowed,
  // blank tokens are skipped) into commandBytes, at most twelve. Bytes that
  // are not given keep their current value.
  ByteListResult ReadByteList(std::string_view text);

  // True when the total lies within the twelve command bytes, so that the
  // bytes to send and the checksum position are defined.
  bool TotalIsValid() const {
    return totalBytes >= 1 && totalBytes <= static_cast<int32_t>(kMaxCommandBytes);
  }

  // The two's complement of the 8-bit sum of the bytes before the last one.
  uint8_t ComputeChecksum() const;

  // When the checksum flag is set and the total is valid, replaces the last
  // byte (position total - 1) by the checksum. Returns false when the flag
  // is set but the total lies outside the command bytes (nothing changes).
  bool ApplyChecksum();

  // The bytes to send: the first `totalBytes` command bytes (none when the
  // total is not valid), with the checksum in place when the flag is set.
  std::vector<uint8_t> BytesToSend() const;
};
