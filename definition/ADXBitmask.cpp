#include "definition/ADXBitmask.h"

#include "definition/ADXText.h"

ADXBitmask::ADXBitmask() {
  objectType = ADX_TYPE_BITMASK;
}

void ADXBitmask::SetTrueString(const char* text, std::size_t length) {
  AssignText(truestring, text, length < kBitmaskTextMax ? length : kBitmaskTextMax);
}

void ADXBitmask::SetFalseString(const char* text, std::size_t length) {
  AssignText(falsestring, text, length < kBitmaskTextMax ? length : kBitmaskTextMax);
}

std::size_t ADXBitmask::GetTrueString(char* buffer, std::size_t size) const {
  return CopyTextOut(truestring, buffer, size);
}

std::size_t ADXBitmask::GetFalseString(char* buffer, std::size_t size) const {
  return CopyTextOut(falsestring, buffer, size);
}

std::uint32_t ADXBitmask::GetColor(int selector) const {
  if (selector == kColorAlarmOnSet) return alarmsetcolor;
  if (selector == kColorAlarmOnNotSet) return alarmnotsetcolor;
  return 0;
}

void ADXBitmask::SetColor(int selector, std::uint32_t color) {
  if (selector == kColorAlarmOnSet) alarmsetcolor = color;
  if (selector == kColorAlarmOnNotSet) alarmnotsetcolor = color;
}

int ADXBitmask::AlarmOnSet(std::uint32_t* color) const {
  if (color) *color = alarmsetcolor;
  return (flags & kBitmaskAlarmOnSet) ? 1 : 0;
}

int ADXBitmask::AlarmOnNotSet(std::uint32_t* color) const {
  if (color) *color = alarmnotsetcolor;
  return (flags & kBitmaskAlarmOnNotSet) ? 1 : 0;
}

int ADXBitmask::InAlarm(int isTrue, std::uint32_t* color) const {
  if ((flags & kBitmaskAlarmOnNotSet) && !isTrue) {
    if (color) *color = alarmnotsetcolor;
    return 1;
  }
  if ((flags & kBitmaskAlarmOnSet) && isTrue) {
    if (color) *color = alarmsetcolor;
    return 1;
  }
  return 0;
}

int ADXBitmask::Evaluate(std::uint32_t raw) const {
  std::uint32_t c = 0;
  if (bitop == kBitopAnd) {
    c = raw & operand;
  } else if (bitop == kBitopXor) {
    c = raw ^ operand;
  } else {
    return 0;
  }
  return c == result ? 1 : 0;
}

int ADXBitmask::TestBits(const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                         std::uint32_t callFlags) {
  return Evaluate(ExtractRaw(packet, length, offset, callFlags));
}

int ADXBitmask::TestBitsText(char* buffer, std::size_t size, const ADXDefinition* /*definition*/,
                             const std::uint8_t* packet, std::size_t length, std::uint32_t offset,
                             std::uint32_t callFlags) {
  const int state = TestBits(packet, length, offset, callFlags);
  CopyTextOut(state ? truestring : falsestring, buffer, size);
  return state;
}
