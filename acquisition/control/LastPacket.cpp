#include "acquisition/control/LastPacket.h"

#include <algorithm>
#include <cstring>

void LastPacket::Store(const std::uint8_t* data, std::size_t length, std::uint32_t commandIdHash) {
  const std::size_t kept = data == nullptr ? 0 : std::min(length, kCapacity);
  std::lock_guard<std::mutex> guard(mutex_);
  if (kept > 0) std::memcpy(bytes_, data, kept);
  length_ = kept;
  commandIdHash_ = commandIdHash;
}

std::size_t LastPacket::Copy(std::uint8_t* buffer, std::size_t size, std::uint32_t* commandIdHash) const {
  std::lock_guard<std::mutex> guard(mutex_);
  const std::size_t n = buffer == nullptr ? 0 : std::min(size, length_);
  if (n > 0) std::memcpy(buffer, bytes_, n);
  if (commandIdHash != nullptr) *commandIdHash = commandIdHash_;
  return n;
}

std::size_t LastPacket::Length() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return length_;
}

std::uint32_t LastPacket::CommandIdHash() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return commandIdHash_;
}
