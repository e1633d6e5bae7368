#pragma once
// Conversions of decoded numbers to the 32-bit integers that output texts
// show. Out-of-range numbers and NaN must not trap, so they saturate.
//
// Thread contract: pure functions.
#include <cmath>
#include <cstdint>

// Truncates toward zero to a signed 32-bit integer; saturates out of range, NaN gives 0.
inline std::int32_t TruncToInt32(double n) {
  if (std::isnan(n)) return 0;
  if (n >= 2147483647.0) return INT32_MAX;
  if (n <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(n);
}

// Truncates toward zero to the bits of a 32-bit integer: negative numbers give
// their two's complement bits (-1 shows as FFFFFFFF), numbers up to 2^32 - 1
// their unsigned bits; beyond that the result saturates. NaN gives 0.
inline std::uint32_t TruncToUInt32Bits(double n) {
  if (std::isnan(n)) return 0;
  if (n >= 0.0) return n >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(n);
  return static_cast<std::uint32_t>(TruncToInt32(n));
}
