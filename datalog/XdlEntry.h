// One entry of an XDL entry table: which command's packets it describes, how
// many bytes each record stores and which packet bytes those are (the mask).
//
// On disk an entry is 33 bytes followed by maskLength mask bytes:
//   0  commandIdHash (u32)   4  idText (16 bytes, NUL-padded)
//   20 commandType (u32)     24 storedSize (u32)   28 fullSize (u32)
//   32 maskLength (u8)       33 mask bytes
// Mask bit i (byte i / 8, bit i % 8, least significant first) set means packet
// byte i is stored; bits beyond the mask count as set, so a mask of no bytes
// stores every byte.
//
// Thread contract: plain values and pure functions, callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::size_t kXdlEntryFixedSize = 33;
inline constexpr std::size_t kXdlIdTextSize = 16;
inline constexpr std::uint32_t kXdlMaxMaskBits = 255 * 8;  // maskLength is one byte on disk
// Largest storedSize and fullSize accepted from a file or for recording.
inline constexpr std::uint32_t kXdlMaxPacketSize = 65536;
// Largest entry table accepted from a file.
inline constexpr std::uint32_t kXdlMaxEntries = 65536;

// A bit set owning its bytes; bytes.size() is always (bitCount + 7) / 8.
class XdlMask {
 public:
  XdlMask() = default;
  // A mask of bitCount bits, all set.
  static XdlMask AllSet(std::uint32_t bitCount);
  // A mask of count bytes (8 bits each) copied from data.
  static XdlMask FromBytes(const std::uint8_t* data, std::size_t count);

  std::uint32_t BitCount() const { return bitCount_; }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  // Whether packet byte position is stored; positions beyond the mask are.
  bool IsStored(std::uint32_t position) const {
    if (position >= bitCount_) return true;
    return (bytes_[position >> 3] >> (position & 7)) & 1;
  }
  // Sets or clears one bit, growing the mask (new bits set) when needed.
  // False for a position the file format cannot hold (kXdlMaxMaskBits or more).
  bool SetBit(std::uint32_t position, bool stored);
  // Number of mask bytes written to a file: 0 for an empty mask.
  std::uint32_t WireLength() const { return bitCount_ == 0 ? 0 : (bitCount_ - 1) / 8 + 1; }

  bool operator==(const XdlMask&) const = default;

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t bitCount_ = 0;
};

struct XdlEntry {
  std::uint32_t commandIdHash = 0;
  char idText[kXdlIdTextSize] = {};  // at most 15 characters, NUL-terminated
  std::uint32_t commandType = 0;     // 0x20000 send command, 0x100000 160-baud listen
  std::uint32_t storedSize = 0;      // payload bytes per record
  std::uint32_t fullSize = 0;        // packet bytes after expansion
  std::uint16_t maskLength = 0;      // mask bytes as read from a file (low byte on disk)
  XdlMask mask;

  // Copies at most 15 characters of text (null empties it).
  void SetIdText(const char* text);
};

// Writes the 33 fixed bytes of an entry; maskLength is taken from the mask.
void EncodeXdlEntryFixed(const XdlEntry& entry, std::uint8_t out[kXdlEntryFixedSize]);
// Reads the 33 fixed bytes; the mask is left empty. The ID text is always
// NUL-terminated.
XdlEntry DecodeXdlEntryFixed(const std::uint8_t in[kXdlEntryFixedSize]);

// Fills the entry's storedSize payload bytes from the first length bytes of a
// packet, taking the bytes whose mask bit is set in packet order. Payload bytes
// left over (short packet, no packet) are zero. Returns the bytes taken.
std::uint32_t XdlPackPacket(const XdlEntry& entry, const std::uint8_t* packet, std::size_t length,
                            std::uint8_t* payload);

// Expands payloadSize payload bytes into a packet of min(fullSize, packetSize)
// bytes: positions with a set mask bit take the next payload byte, all others
// are zero; expansion stops when the payload or the packet runs out. Returns
// the number of packet bytes written (zeros included).
std::uint32_t XdlExpandPayload(const XdlEntry& entry, const std::uint8_t* payload, std::size_t payloadSize,
                               std::uint8_t* packet, std::size_t packetSize);
