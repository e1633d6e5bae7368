#pragma once

// A reader of the 160-baud line as the command engine reads it: it searches
// single bytes for nine zero bytes in a row (at most 18 bytes per data byte),
// then takes nine bytes per data byte, a non-zero start marker and eight bit
// cells, most significant first, zero meaning 1. Written independently of the
// simulator's coder so that the tests check one against the other.

#include <cstddef>
#include <cstdint>
#include <vector>

struct SlowLinkRead {
  bool synced = false;
  int badWords = 0;
  std::vector<std::uint8_t> data;
  std::size_t used = 0;  // stream bytes consumed
};

inline SlowLinkRead readSlowLink(const std::vector<std::uint8_t>& stream, std::size_t dataBytes) {
  SlowLinkRead r;
  std::size_t pos = 0;
  std::uint8_t zeros = 0;
  for (std::size_t n = 0; n < 18 * dataBytes && pos < stream.size(); ++n) {
    zeros = stream[pos++] == 0 ? static_cast<std::uint8_t>(zeros + 1) : 0;
    if (zeros == 9) {
      r.synced = true;
      break;
    }
  }
  if (!r.synced) {
    r.used = pos;
    return r;
  }
  r.data.assign(dataBytes, 0);
  for (std::size_t i = 0; i < dataBytes; ++i) {
    if (pos + 9 > stream.size() || stream[pos] == 0) {
      ++r.badWords;
      pos = std::min(pos + 9, stream.size());
      continue;
    }
    std::uint8_t byte = 0;
    for (int b = 1; b <= 8; ++b)
      byte = static_cast<std::uint8_t>((byte << 1) | (stream[pos + b] == 0 ? 1 : 0));
    r.data[i] = byte;
    pos += 9;
  }
  r.used = pos;
  return r;
}
