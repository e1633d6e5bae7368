#pragma once
// Variable values enter an equation as their fixed-point text with six
// decimals ("5.000000", "-0.250000", "inf", "-nan"), read back as a number.
// These functions give the outcome of that round trip without building the
// text on the common paths: values whose scaled value is clearly not near a
// half are rounded with one multiplication, the others below 9e9 exactly in
// integer arithmetic; other values go through the text.
//
// Pure functions, safe from any thread. Locale independent.
#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace fixed_rounding {

// Round6 for every value, by the exact routes.
double Round6Exact(double v);

// Longest text FormatFixed can produce, without the NUL (sign, 309 integer
// digits, point, six decimals).
inline constexpr std::size_t kMaxTextLength = 320;

// The value of the six-decimal text of v, read back as a double: rounding to
// the nearest multiple of 0.000001 (ties to even, on the exact binary value),
// then to the nearest double. Keeps the sign (-0.0000001 gives -0.0); a NaN
// gives the quiet NaN with v's sign; infinities stay.
inline double Round6(double v) {
#if defined(__x86_64__)
  // p = |v| * 10^6 is within one unit in the last place of the exact product
  // (whatever the rounding mode), and r is an integer near p. When p is
  // further than that from a half, r is the nearest integer to the exact
  // product and r / 10^6 the correctly rounded reading of the text. NaN,
  // infinities and values past 2^51 / 10^6 fail the test.
  const double p = std::fabs(v) * 1.0e6;
  const double r = static_cast<double>(_mm_cvtsd_si64(_mm_set_sd(p)));
  if (std::fabs(p - r) + p * 0x1p-51 < 0.5) return std::copysign(r / 1.0e6, v);
#endif
  return Round6Exact(v);
}

// Length of the six-decimal text of v ("-12.500000" is 10).
std::size_t TextLength(double v);

// Writes the six-decimal text of v into buffer (capacity characters, a NUL is
// added when it fits). Returns the text length, or 0 when it does not fit
// with its NUL.
std::size_t Format(double v, char* buffer, std::size_t capacity);

}  // namespace fixed_rounding
