#include "datalog/XdlEntry.h"

#include <algorithm>
#include <cstring>

#include "datalog/XdlFormat.h"

XdlMask XdlMask::AllSet(std::uint32_t bitCount) {
  XdlMask mask;
  mask.bitCount_ = bitCount;
  mask.bytes_.assign((static_cast<std::size_t>(bitCount) + 7) / 8, 0xFF);
  if (bitCount % 8 != 0) mask.bytes_.back() = static_cast<std::uint8_t>((1u << (bitCount % 8)) - 1);
  return mask;
}

XdlMask XdlMask::FromBytes(const std::uint8_t* data, std::size_t count) {
  XdlMask mask;
  if (data == nullptr || count == 0) return mask;
  mask.bytes_.assign(data, data + count);
  mask.bitCount_ = static_cast<std::uint32_t>(count * 8);
  return mask;
}

bool XdlMask::SetBit(std::uint32_t position, bool stored) {
  if (position >= kXdlMaxMaskBits) return false;
  if (position >= bitCount_) {
    // Growing the mask: the new positions were "beyond the mask" and so set.
    std::uint32_t oldCount = bitCount_;
    bitCount_ = position + 1;
    bytes_.resize((static_cast<std::size_t>(bitCount_) + 7) / 8, 0);
    for (std::uint32_t i = oldCount; i < bitCount_; ++i)
      bytes_[i >> 3] |= static_cast<std::uint8_t>(1u << (i & 7));
  }
  std::uint8_t bit = static_cast<std::uint8_t>(1u << (position & 7));
  if (stored)
    bytes_[position >> 3] |= bit;
  else
    bytes_[position >> 3] &= static_cast<std::uint8_t>(~bit);
  return true;
}

void XdlEntry::SetIdText(const char* text) {
  std::memset(idText, 0, sizeof idText);
  if (text == nullptr) return;
  std::size_t n = strnlen(text, kXdlIdTextSize - 1);
  std::memcpy(idText, text, n);
}

void EncodeXdlEntryFixed(const XdlEntry& entry, std::uint8_t out[kXdlEntryFixedSize]) {
  XdlPutU32(out + 0, entry.commandIdHash);
  std::memcpy(out + 4, entry.idText, kXdlIdTextSize);
  out[4 + kXdlIdTextSize - 1] = 0;
  XdlPutU32(out + 20, entry.commandType);
  XdlPutU32(out + 24, entry.storedSize);
  XdlPutU32(out + 28, entry.fullSize);
  out[32] = static_cast<std::uint8_t>(entry.mask.WireLength());
}

XdlEntry DecodeXdlEntryFixed(const std::uint8_t in[kXdlEntryFixedSize]) {
  XdlEntry entry;
  entry.commandIdHash = XdlGetU32(in + 0);
  std::memcpy(entry.idText, in + 4, kXdlIdTextSize);
  entry.idText[kXdlIdTextSize - 1] = 0;
  entry.commandType = XdlGetU32(in + 20);
  entry.storedSize = XdlGetU32(in + 24);
  entry.fullSize = XdlGetU32(in + 28);
  entry.maskLength = in[32];
  return entry;
}

std::uint32_t XdlPackPacket(const XdlEntry& entry, const std::uint8_t* packet, std::size_t length,
                            std::uint8_t* payload) {
  std::uint32_t taken = 0;
  if (packet != nullptr) {
    for (std::size_t pos = 0; pos < length && taken < entry.storedSize; ++pos) {
      if (entry.mask.IsStored(static_cast<std::uint32_t>(pos))) payload[taken++] = packet[pos];
    }
  }
  if (taken < entry.storedSize) std::memset(payload + taken, 0, entry.storedSize - taken);
  return taken;
}

std::uint32_t XdlExpandPayload(const XdlEntry& entry, const std::uint8_t* payload, std::size_t payloadSize,
                               std::uint8_t* packet, std::size_t packetSize) {
  std::size_t size = std::min<std::size_t>(entry.fullSize, packetSize);
  if (size == 0) return 0;
  std::memset(packet, 0, size);
  if (payload == nullptr) return static_cast<std::uint32_t>(size);
  // The leading positions that the mask stores whole bytes of (usually all
  // of them) are copied at once.
  const std::vector<std::uint8_t>& mask = entry.mask.Bytes();
  std::size_t whole = 0;
  while (whole < mask.size() && mask[whole] == 0xFF) ++whole;
  std::size_t prefix = std::min<std::size_t>(whole * 8, entry.mask.BitCount());
  if (whole == mask.size()) prefix = size;  // positions beyond the mask are stored
  prefix = std::min({prefix, size, payloadSize});
  std::memcpy(packet, payload, prefix);
  std::size_t next = prefix;
  for (std::size_t pos = prefix; pos < size && next < payloadSize; ++pos) {
    if (entry.mask.IsStored(static_cast<std::uint32_t>(pos))) packet[pos] = payload[next++];
  }
  return static_cast<std::uint32_t>(size);
}
