#include "legacy/AdsFieldText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

template <typename T>
T Clamp(int64_t value, int64_t low, int64_t high, bool* clamped) {
  bool cut = value < low || value > high;
  if (clamped) *clamped = cut;
  if (value < low) return static_cast<T>(low);
  if (value > high) return static_cast<T>(high);
  return static_cast<T>(value);
}

}  // namespace

AdsNumber<int64_t> ParseAdsInteger(std::string_view text) {
  std::size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  AdsNumber<int64_t> result;
  // Accumulate as a negative number so that INT64_MIN is reachable.
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t accumulated = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    result.valid = true;
    int digit = text[i] - '0';
    if (saturated) continue;
    if (accumulated < (kMin + digit) / 10) {
      saturated = true;
      accumulated = kMin;
      continue;
    }
    accumulated = accumulated * 10 - digit;
  }
  if (!result.valid) return result;
  if (negative) {
    result.value = accumulated;
  } else {
    result.value = accumulated == kMin ? std::numeric_limits<int64_t>::max() : -accumulated;
  }
  return result;
}

AdsNumber<double> ParseAdsFloat(std::string_view text) {
  std::size_t i = SkipBlanks(text);
  if (i < text.size() && text[i] == '+') {
    ++i;
    // A second sign after '+' is not a number.
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return {};
  }
  double value = 0.0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error != std::errc() || end == first || !std::isfinite(value)) return {};
  return {value, true};
}

int32_t ClampToInt32(int64_t value, bool* clamped) {
  return Clamp<int32_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                        clamped);
}

uint32_t ClampToUint32(int64_t value, bool* clamped) {
  return Clamp<uint32_t>(value, 0, std::numeric_limits<uint32_t>::max(), clamped);
}

uint16_t ClampToUint16(int64_t value, bool* clamped) {
  return Clamp<uint16_t>(value, 0, std::numeric_limits<uint16_t>::max(), clamped);
}

uint8_t ClampToUint8(int64_t value, bool* clamped) {
  return Clamp<uint8_t>(value, 0, std::numeric_limits<uint8_t>::max(), clamped);
}

bool AssignCapped(std::string& target, std::string_view text, std::size_t capacity) {
  bool cut = text.size() > capacity;
  target.assign(text.substr(0, capacity));
  return cut;
}
