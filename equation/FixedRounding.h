#pragma once
// Variable values enter an equation as their fixed-point text with six
// decimals ("5.000000", "-0.250000", "inf", "-nan"), read back as a number.
// These functions give the outcome of that round trip without building the
// text on the common paths: integers and values below 9e9 are rounded exactly
// in integer arithmetic; other values go through the text.
//
// Pure functions, safe from any thread. Locale independent.
#include <cstddef>

namespace fixed_rounding {

// Longest text FormatFixed can produce, without the NUL (sign, 309 integer
// digits, point, six decimals).
inline constexpr std::size_t kMaxTextLength = 320;

// The value of the six-decimal text of v, read back as a double: rounding to
// the nearest multiple of 0.000001 (ties to even, on the exact binary value),
// then to the nearest double. Keeps the sign (-0.0000001 gives -0.0); a NaN
// gives the quiet NaN with v's sign; infinities stay.
double Round6(double v);

// Length of the six-decimal text of v ("-12.500000" is 10).
std::size_t TextLength(double v);

// Writes the six-decimal text of v into buffer (capacity characters, a NUL is
// added when it fits). Returns the text length, or 0 when it does not fit
// with its NUL.
std::size_t Format(double v, char* buffer, std::size_t capacity);

}  // namespace fixed_rounding
