#include "equation/FixedRounding.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "equation/EquationText.h"

namespace fixed_rounding {
namespace {

constexpr double kTwoPow52 = 4503599627370496.0;
// Below this magnitude, v * 10^6 rounded to an integer stays below 2^53, so
// that integer divided by 10^6 is the correctly rounded reading of the text.
constexpr double kExactLimit = 9.0e9;

double QuietNaN(double sign) {
  return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
}

// Rounds a (finite, 4e-7 <= a < kExactLimit) times 10^6 to the nearest integer,
// ties to even, exactly.
std::uint64_t ScaledMicros(double a) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(a);
  const int biased = static_cast<int>(bits >> 52);
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  // a = mantissa * 2^(biased - 1075); a * 10^6 = mantissa * 15625 * 2^(biased - 1069).
  const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * 15625u;
  const int shift = 1069 - biased;  // at least 13 in the range served here
  if (shift >= 70) return 0;        // product < 2^67: below one half
  const unsigned __int128 quotient = product >> shift;
  const unsigned __int128 remainder = product - (quotient << shift);
  const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
  std::uint64_t n = static_cast<std::uint64_t>(quotient);
  if (remainder > half || (remainder == half && (n & 1u) != 0)) ++n;
  return n;
}

std::size_t DecimalDigits(std::uint64_t n) {
  std::size_t digits = 1;
  while (n >= 10) {
    n /= 10;
    ++digits;
  }
  return digits;
}

// Text of a finite value through the standard library, which rounds exactly
// as the C library's "%f" does. Returns the length, or 0 if it did not fit.
std::size_t WriteText(double v, char* buffer, std::size_t capacity) {
  const std::to_chars_result r = std::to_chars(buffer, buffer + capacity, v, std::chars_format::fixed, 6);
  if (r.ec != std::errc()) return 0;
  return static_cast<std::size_t>(r.ptr - buffer);
}

}  // namespace

double Round6Exact(double v) {
  const double a = std::fabs(v);
  if (a < kTwoPow52) {
    if (a < 4.0e-7) return std::copysign(0.0, v);
    const auto whole = static_cast<std::int64_t>(a);
    if (static_cast<double>(whole) == a) return v;
    if (a < kExactLimit) {
      const double rounded = static_cast<double>(ScaledMicros(a)) / 1.0e6;
      return std::copysign(rounded, v);
    }
    // A fraction at a magnitude where the exact quotient needs more than 53
    // bits: take the text route.
    char text[kMaxTextLength + 1];
    const std::size_t length = WriteText(v, text, sizeof text);
    double parsed = 0.0;
    equation_text::ParseDecimal(text, length, parsed);
    return parsed;
  }
  if (std::isnan(v)) return QuietNaN(v);
  return v;  // every double from 2^52 up is an integer; infinities stay
}

#if defined(__x86_64__)
[[gnu::target("avx,fma")]] double Round6Fused(double v) {
  double rounded;
  return Round6FusedQuick(v, rounded) ? rounded : Round6Exact(v);
}
#endif

bool HasFusedMultiplyAdd() {
#if defined(__x86_64__)
  // The fused route uses VEX-encoded instructions (three-operand forms and
  // rounding to an integer) besides fma; the compiler's checks include the
  // operating system's support for the registers' upper state.
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0 && __builtin_cpu_supports("fma") != 0;
  }();
  return has;
#else
  return false;
#endif
}

std::size_t TextLength(double v) {
  const std::size_t sign = std::signbit(v) ? 1 : 0;
  if (!std::isfinite(v)) return sign + 3;
  const double a = std::fabs(Round6(v));
  if (a < 1.0e16) return sign + DecimalDigits(static_cast<std::uint64_t>(a)) + 7;
  char text[kMaxTextLength + 1];
  return WriteText(v, text, sizeof text);
}

std::size_t Format(double v, char* buffer, std::size_t capacity) {
  if (capacity == 0) return 0;
  if (!std::isfinite(v)) {
    const char* text = std::isnan(v) ? (std::signbit(v) ? "-nan" : "nan") : (v < 0 ? "-inf" : "inf");
    const std::size_t length = std::strlen(text);
    if (length + 1 > capacity) return 0;
    std::memcpy(buffer, text, length + 1);
    return length;
  }
  const std::size_t length = WriteText(v, buffer, capacity - 1);
  if (length == 0) return 0;
  buffer[length] = '\0';
  return length;
}

}  // namespace fixed_rounding
