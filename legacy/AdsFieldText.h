// Readers for the field values of ADS definition files: decimal integers,
// decimal floating point, hexadecimal number text and texts cut to a fixed
// capacity. All of them accept any bytes and never fail: text that is not a
// number reads as 0, so a damaged file is still read positionally.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "definition/AdxNumberText.h"

// The result of reading one number out of field text.
template <typename T>
struct AdsNumber {
  T value = 0;
  bool valid = false;  // false when the text held no number (value is then 0)
};

// Decimal integer as the ADS reader takes it: leading blanks (spaces, tabs,
// line breaks) skipped, an optional sign, then the digits up to the first
// other character. Saturates at the 64-bit range, so no input overflows.
AdsNumber<int64_t> ParseAdsInteger(std::string_view text);

// Decimal floating point: leading blanks skipped, optional sign, digits,
// fraction and exponent; trailing text is ignored. Infinities, NaN and
// numbers out of the double range read as 0 with valid == false.
AdsNumber<double> ParseAdsFloat(std::string_view text);

// Hexadecimal fields are read with the definition model's ParseHexText
// (AdxNumberText.h): ADS and ADX files share that number text.

// Integer conversions for the fixed-width fields. Each clamps into the
// field's range so that a number from the file never wraps silently;
// `clamped` (when given) is set to true when the number had to be clamped.
int32_t ClampToInt32(int64_t value, bool* clamped = nullptr);
uint32_t ClampToUint32(int64_t value, bool* clamped = nullptr);
uint16_t ClampToUint16(int64_t value, bool* clamped = nullptr);
uint8_t ClampToUint8(int64_t value, bool* clamped = nullptr);

// Copies `text` into `target`, cut to at most `capacity` characters. Returns
// true when the text had to be cut.
bool AssignCapped(std::string& target, std::string_view text, std::size_t capacity);
