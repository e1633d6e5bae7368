#pragma once
// Variable values enter an equation as their fixed-point text with six
// decimals ("5.000000", "-0.250000", "inf", "-nan"), read back as a number.
// These functions give the outcome of that round trip without building the
// text on the common paths: values whose scaled value is clearly not near a
// half are rounded with one multiplication and one division (or, where the
// processor has fused multiply-add, a multiplication and two fmas), the
// others below 9e9 exactly in integer arithmetic; other values go through the
// text.
//
// Pure functions, safe from any thread. Locale independent.
#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace fixed_rounding {

// Round6 for every value, by the exact routes.
double Round6Exact(double v);

// Whether Round6Fused may run on this processor (it has fused multiply-add).
// Decided once; safe from any thread.
bool HasFusedMultiplyAdd();

// Longest text FormatFixed can produce, without the NUL (sign, 309 integer
// digits, point, six decimals).
inline constexpr std::size_t kMaxTextLength = 320;

// The value of the six-decimal text of v, read back as a double: rounding to
// the nearest multiple of 0.000001 (ties to even, on the exact binary value),
// then to the nearest double. Keeps the sign (-0.0000001 gives -0.0); a NaN
// gives the quiet NaN with v's sign; infinities stay.
//
// The quick routes below decide every value below 2^51 / 10^6 (about 2.25e9)
// in magnitude that is not within a unit in the last place of a half of the
// sixth decimal; they return false for the others, which Round6Exact takes.
inline bool Round6Quick(double v, double& rounded) {
#if defined(__x86_64__)
  // p = |v| * 10^6 is within one unit in the last place of the exact product
  // (whatever the rounding mode), and r is an integer near p (adding and
  // taking away 2^52 leaves no fraction below 2^51). When p is further than
  // that unit from a half, r is the nearest integer to the exact product and
  // r / 10^6 the correctly rounded reading of the text. NaN, infinities and
  // values past 2^51 / 10^6 fail the test.
  const double p = std::fabs(v) * 1.0e6;
  const double r = (p + 0x1p52) - 0x1p52;
  if (std::fabs(p - r) + p * 0x1p-51 < 0.5) {
    rounded = std::copysign(r / 1.0e6, v);
    return true;
  }
#else
  (void)v;
  (void)rounded;
#endif
  return false;
}

inline double Round6(double v) {
  double rounded;
  return Round6Quick(v, rounded) ? rounded : Round6Exact(v);
}

#if defined(__x86_64__)
// Round6Quick without a division, for processors with fused multiply-add and
// the three-operand instruction forms: only in code compiled for them and run
// where HasFusedMultiplyAdd() is true. Decides the same values and gives the
// same results.
[[gnu::always_inline, gnu::target("avx,fma")]] inline bool Round6FusedQuick(double v, double& rounded) {
  // As in Round6Quick, on the signed value: p = v * 10^6, r the nearest
  // integer to p (ties to even; another integer near p in another rounding
  // mode; -0 for a negative p that rounds to zero), and r is the nearest
  // integer to the exact product when |p - r| + |p| * 2^-51 < 0.5 (the
  // product |p| * 2^-51 is exact, so the fma rounds only the sum).
  const __m128d p = _mm_mul_sd(_mm_set_sd(v), _mm_set_sd(1.0e6));
  const __m128d r = _mm_round_sd(p, p, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  const __m128d magnitudeBits = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
  const __m128d distance = _mm_and_pd(_mm_sub_sd(p, r), magnitudeBits);
  const __m128d test = _mm_fmadd_sd(_mm_and_pd(p, magnitudeBits), _mm_set_sd(0x1p-51), distance);
  if (!(_mm_cvtsd_f64(test) < 0.5)) return false;
  // r / 10^6 correctly rounded. With hi the double nearest 10^-6 and lo the
  // double nearest 10^-6 - hi (positive), fma(r, hi, r * lo) is within 10^-32
  // of r / 10^6, relatively, before its one rounding. The quotient is never
  // that close to a half-way point h between two doubles: with u its last
  // place (u <= 2^-21 here), (r / 10^6 - h) * 2 * 5^6 / u is an integer, and
  // not zero (h has 54 significant bits, the quotient at most 38 when it is a
  // binary fraction), so the distance is at least u / 31250. The fma thus
  // gives the correctly rounded quotient (in the default rounding mode, which
  // the program never changes). For r = -0, r * lo is -0 and the sum keeps
  // the -0.
  const __m128d tail = _mm_mul_sd(r, _mm_set_sd(0x1.b5a63f9a49c2cp-75));
  rounded = _mm_cvtsd_f64(_mm_fmadd_sd(r, _mm_set_sd(1.0e-6), tail));
  return true;
}

// Round6 by Round6FusedQuick; only where HasFusedMultiplyAdd() is true.
double Round6Fused(double v);
#endif

// Length of the six-decimal text of v ("-12.500000" is 10).
std::size_t TextLength(double v);

// Writes the six-decimal text of v into buffer (capacity characters, a NUL is
// added when it fits). Returns the text length, or 0 when it does not fit
// with its NUL.
std::size_t Format(double v, char* buffer, std::size_t capacity);

}  // namespace fixed_rounding
