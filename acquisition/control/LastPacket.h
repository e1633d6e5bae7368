// A copy of the most recent packet for the panes: at most 300 bytes, its
// length and its command's idhash. A longer packet keeps its first 300 bytes.
//
// Thread contract: Store runs on the acquisition or playback thread, Copy on
// any thread; the object's mutex guards the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

class LastPacket {
 public:
  static constexpr std::size_t kCapacity = 300;

  // Keeps min(length, kCapacity) bytes; null data keeps none.
  void Store(const std::uint8_t* data, std::size_t length, std::uint32_t commandIdHash);
  // Copies the kept bytes into buffer (at most size); returns the bytes copied.
  std::size_t Copy(std::uint8_t* buffer, std::size_t size, std::uint32_t* commandIdHash = nullptr) const;
  std::size_t Length() const;
  std::uint32_t CommandIdHash() const;

 private:
  mutable std::mutex mutex_;
  std::uint8_t bytes_[kCapacity] = {};
  std::size_t length_ = 0;
  std::uint32_t commandIdHash_ = 0;
};
