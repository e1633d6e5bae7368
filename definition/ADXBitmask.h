#pragma once
// A true/false flag decoded from a reply packet: a field of the packet is
// combined with an operand (AND or XOR) and compared with an expected result.
//
// Thread contract: configuration is set on one thread while no acquisition
// runs. The last raw value is atomic: the acquisition thread stores it while
// the GUI thread reads it; decoding is otherwise const and allocates nothing.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "definition/ADXDecodeFlags.h"
#include "definition/ADXObject.h"
#include "definition/RawField.h"

class ADXDefinition;

constexpr std::uint32_t kBitmaskLsbFirst = 0x2;
constexpr std::uint32_t kBitmaskAlarmOnSet = 0x4;
constexpr std::uint32_t kBitmaskAlarmOnNotSet = 0x8;
constexpr std::int32_t kBitopAnd = 0;
constexpr std::int32_t kBitopXor = 1;
constexpr std::size_t kBitmaskTextMax = 511;
constexpr int kColorAlarmOnSet = 1;
constexpr int kColorAlarmOnNotSet = 2;

class ADXBitmask : public ADXObject {
 public:
  ADXBitmask();
  // Writes the object as its ADX element; 0 for no writer or a failed write.
  int WriteXml(XmlWriter* writer) const override;
  void ReadXmlChild(AdxXmlIn& in) override;

  // Copy at most 511 characters of the text.
  void SetTrueString(const char* text, std::size_t length);
  void SetFalseString(const char* text, std::size_t length);
  // Copy the text out (cut to size - 1); return the number copied.
  std::size_t GetTrueString(char* buffer, std::size_t size) const;
  std::size_t GetFalseString(char* buffer, std::size_t size) const;

  // Selector 1: alarm-on-set colour, 2: alarm-on-not-set colour; other
  // selectors read 0 and write nothing.
  std::uint32_t GetColor(int selector) const;
  void SetColor(int selector, std::uint32_t color);
  // Whether bit 0x4 (0x8) is set; the matching colour goes to *color.
  int AlarmOnSet(std::uint32_t* color) const;
  int AlarmOnNotSet(std::uint32_t* color) const;
  // Whether the bitmask, in state isTrue, is in alarm, with the colour to show.
  int InAlarm(int isTrue, std::uint32_t* color) const;

  // Reads the raw field (MSB first unless LSB First or kDecodeNoSwap) and
  // stores it. No packet, or a field reaching past the end of the packet,
  // returns the last raw value unchanged.
  std::uint32_t ExtractRaw(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                           std::uint32_t callFlags);
  int TestBits(const std::uint8_t* packet, std::size_t length, std::uint32_t offset, std::uint32_t callFlags);
  // Like TestBits and writes the true or false text into buffer.
  int TestBitsText(char* buffer, std::size_t size, const ADXDefinition* definition,
                   const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                   std::uint32_t callFlags);
  // The state from the last raw value alone.
  int Evaluate(std::uint32_t raw) const;

  std::uint32_t LastRaw() const { return lastraw.load(std::memory_order_relaxed); }
  void SetLastRaw(std::uint32_t raw) { lastraw.store(raw, std::memory_order_relaxed); }

  std::uint32_t flags = 0;
  std::uint32_t parentcmdidhash = 0;
  std::uint32_t packetoffset = 0;
  std::int32_t sizeinbits = 8;
  std::uint32_t operand = 0;
  std::uint32_t result = 0;
  std::int32_t bitop = kBitopAnd;
  std::string truestring;   // empty = none
  std::string falsestring;  // empty = none
  std::atomic<std::uint32_t> lastraw{0};
  std::uint32_t alarmsetcolor = 0x000000FFu;
  std::uint32_t alarmnotsetcolor = 0x0000FF00u;
};

// Inline: every bitmask of every packet passes here.
inline std::uint32_t ADXBitmask::ExtractRaw(const std::uint8_t* packet, std::size_t length,
                                            std::uint32_t offset, std::uint32_t callFlags) {
  const std::uint32_t at = (callFlags & kDecodeAtOffset) ? offset : packetoffset;
  const bool swap = !(callFlags & kDecodeNoSwap) && !(flags & kBitmaskLsbFirst) && sizeinbits > 8;
  std::uint32_t word = 0;
  if (!ReadRawField(packet, length, at, sizeinbits, swap, &word)) return LastRaw();
  SetLastRaw(word);
  return word;
}
