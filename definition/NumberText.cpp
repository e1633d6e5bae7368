#include "definition/NumberText.h"

#include <locale.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The C locale, made once and kept for the life of the process.
locale_t CLocale() {
  static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

// Switches the calling thread to the C locale for the lifetime of the object.
class ScopedCLocale {
 public:
  ScopedCLocale() {
    if (CLocale() != static_cast<locale_t>(nullptr)) previous_ = ::uselocale(CLocale());
  }
  ~ScopedCLocale() {
    if (previous_ != static_cast<locale_t>(nullptr)) ::uselocale(previous_);
  }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t previous_ = static_cast<locale_t>(nullptr);
};

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

int DecimalDigits(std::uint64_t n) {
  int digits = 1;
  for (;;) {
    if (n < 10) return digits;
    if (n < 100) return digits + 1;
    if (n < 1000) return digits + 2;
    if (n < 10000) return digits + 3;
    n /= 10000;
    digits += 4;
  }
}

// Writes the decimal digits of n (at least minDigits, zero-padded) ending at
// end; returns the first digit written.
char* PutDigitsBackward(char* end, std::uint64_t n, int minDigits) {
  char* p = end;
  while (n >= 100) {
    const auto pair = static_cast<std::size_t>(n % 100) * 2;
    n /= 100;
    *--p = kDigitPairs[pair + 1];
    *--p = kDigitPairs[pair];
  }
  if (n >= 10) {
    const auto pair = static_cast<std::size_t>(n) * 2;
    *--p = kDigitPairs[pair + 1];
    *--p = kDigitPairs[pair];
  } else {
    *--p = static_cast<char>('0' + n);
  }
  while (end - p < minDigits) *--p = '0';
  return p;
}

// Copies the digits [digits, digitsEnd) behind an optional sign, padded with
// zeros to minDigits.
char* PutPadded(char* first, char* last, bool negative, const char* digits, const char* digitsEnd,
                int minDigits) {
  const auto count = static_cast<std::size_t>(digitsEnd - digits);
  const std::size_t width =
      static_cast<std::size_t>(minDigits) > count ? static_cast<std::size_t>(minDigits) : count;
  if (static_cast<std::size_t>(last - first) < width + (negative ? 1 : 0)) return nullptr;
  if (negative) *first++ = '-';
  for (std::size_t i = count; i < width; ++i) *first++ = '0';
  std::memcpy(first, digits, count);
  return first + count;
}

char* PutUnsigned(char* first, char* last, bool negative, std::uint64_t magnitude, int minDigits, int base,
                  bool upperCase) {
  if (minDigits < 0) minDigits = 1;
  if (base == 10 && minDigits <= 20) {
    // In place: the length is known before the digits are written.
    const int digits = magnitude == 0 && minDigits == 0 ? 0 : std::max(DecimalDigits(magnitude), minDigits);
    const auto length = static_cast<std::size_t>(digits + (negative ? 1 : 0));
    if (static_cast<std::size_t>(last - first) < length) return nullptr;
    char* const end = first + length;
    if (digits > 0) PutDigitsBackward(end, magnitude, digits);
    if (negative) *first = '-';
    return end;
  }
  char digits[72];
  char* const end = digits + sizeof digits;
  char* start = end;
  if (magnitude != 0 || minDigits != 0) {
    if (base == 10) {
      start = PutDigitsBackward(end, magnitude, 1);
    } else {
      const char* alphabet = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
      do {
        *--start = alphabet[magnitude & 0xF];
        magnitude >>= 4;
      } while (magnitude != 0);
    }
  }
  return PutPadded(first, last, negative, start, end, minDigits);
}

// The snprintf contract on top of an Append function: the text cut to
// size - 1 characters and a NUL; fallback formats with printf itself when the
// text does not even fit the scratch buffer (thousands of decimals).
template <typename Append, typename Fallback>
std::size_t FormatCut(char* buffer, std::size_t size, Append append, Fallback fallback) {
  if (buffer == nullptr || size == 0) return 0;
  if (char* end = append(buffer, buffer + size - 1)) {
    *end = '\0';
    return static_cast<std::size_t>(end - buffer);
  }
  char scratch[1600];
  if (char* end = append(scratch, scratch + sizeof scratch)) {
    const std::size_t length = size - 1;  // it did not fit, so it is longer
    std::memcpy(buffer, scratch, length);
    buffer[length] = '\0';
    (void)end;
    return length;
  }
  buffer[0] = '\0';
  fallback();
  buffer[size - 1] = '\0';  // printf may give up on an absurd precision
  return std::strlen(buffer);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Finds the complete decimal number in text: kOk only when the whole text
// is blanks, one number, blanks. number receives the number without a
// leading "+".
NumberRead ScanDecimal(std::string_view text, std::string_view& number) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  if (begin == end) return NumberRead::kEmpty;
  std::size_t i = begin;
  if (text[i] == '+') {
    ++i;
    begin = i;
  } else if (text[i] == '-') {
    ++i;
  }
  std::size_t digits = 0;
  while (i < end && IsDigit(text[i])) ++i, ++digits;
  if (i < end && text[i] == '.') {
    ++i;
    while (i < end && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return NumberRead::kNotANumber;
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < end && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return NumberRead::kNotANumber;
  }
  if (i != end) return NumberRead::kNotANumber;
  number = text.substr(begin, end - begin);
  return NumberRead::kOk;
}

// strtod / strtof in the C locale on a copy with a NUL.
template <typename T, typename Convert>
T ReadLeading(std::string_view text, std::size_t* used, Convert convert) {
  char small[256];
  std::vector<char> large;
  char* copy = small;
  if (text.size() >= sizeof small) {
    large.resize(text.size() + 1);
    copy = large.data();
  }
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  char* end = copy;
  const T value = convert(copy, &end);
  if (used != nullptr) *used = static_cast<std::size_t>(end - copy);
  return value;
}

template <typename T>
NumberRead ReadComplete(std::string_view text, T& value) {
  std::string_view number;
  const NumberRead scan = ScanDecimal(text, number);
  if (scan != NumberRead::kOk) return scan;
  T parsed{};
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  if (error == std::errc() && end == number.data() + number.size()) {
    value = parsed;
    return NumberRead::kOk;
  }
  if (error != std::errc::result_out_of_range) return NumberRead::kNotANumber;
  // Overflow is refused; underflow reads as the C library rounds it.
  T rounded{};
  if constexpr (sizeof(T) == sizeof(float)) {
    rounded = ReadLeadingFloat(number);
  } else {
    rounded = ReadLeadingDouble(number);
  }
  if (std::isinf(rounded)) return NumberRead::kOutOfRange;
  value = rounded;
  return NumberRead::kOk;
}

constexpr int kFastDecimalsMax = 9;
constexpr double kPowersOfTen[kFastDecimalsMax + 1] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr double kTwoPow52 = 4503599627370496.0;

// Writes "whole.fraction" of scaled / 10^kDecimals, with a sign, into
// [first, last); nullptr when it does not fit.
template <int kDecimals>
char* PutScaled(char* first, char* last, std::uint64_t scaled, bool negative) {
  std::uint64_t unit = 1;
  for (int i = 0; i < kDecimals; ++i) unit *= 10;
  const std::uint64_t whole = scaled / unit;
  const std::uint64_t fraction = scaled - whole * unit;
  const auto length = static_cast<std::size_t>((negative ? 1 : 0) + DecimalDigits(whole) +
                                               (kDecimals > 0 ? kDecimals + 1 : 0));
  if (static_cast<std::size_t>(last - first) < length) return nullptr;
  char* const end = first + length;
  char* start = end;
  if constexpr (kDecimals > 0) {
    start = PutDigitsBackward(end, fraction, kDecimals);
    *--start = '.';
  }
  start = PutDigitsBackward(start, whole, 1);
  if (negative) *--start = '-';
  return end;
}

// "%.*f" for the numbers that decoded values are: |v| * 10^decimals below
// 2^52. The scaled product p is rounded to the nearest integer n. Unless p
// lies exactly halfway, n is also the nearest integer to the exact product:
// both are multiples of ulp(p) <= 1/2, so p - n is at most 1/2 - ulp(p) away
// and the rounding error of p is at most ulp(p) / 2. At exactly halfway the
// error, which fma gives exactly, decides; an exact tie goes to the even
// integer as printf's does. Returns nullptr when the value is not served here
// or the text does not fit.
char* AppendFixedFast(char* first, char* last, double v, int decimals) {
  const double a = std::fabs(v);
  const double scale = kPowersOfTen[decimals];
  const double p = a * scale;
  if (!(p < kTwoPow52)) return nullptr;  // also NaN and infinities
  // Below 2^52, adding and taking away 2^52 rounds to an integer, ties to
  // even, in the default rounding mode.
  double n = (p + kTwoPow52) - kTwoPow52;
  const double offset = p - n;
  if (offset == 0.5 || offset == -0.5) {
    // p >= 1/2 here, far above the range where the error could underflow.
    const double error = std::fma(a, scale, -p);
    if (error != 0.0) n = error > 0.0 ? std::ceil(p) : std::floor(p);
  }
  const auto scaled = static_cast<std::uint64_t>(n);
  const bool negative = std::signbit(v);
  switch (decimals) {
    case 0:
      return PutScaled<0>(first, last, scaled, negative);
    case 1:
      return PutScaled<1>(first, last, scaled, negative);
    case 2:
      return PutScaled<2>(first, last, scaled, negative);
    case 3:
      return PutScaled<3>(first, last, scaled, negative);
    case 4:
      return PutScaled<4>(first, last, scaled, negative);
    case 5:
      return PutScaled<5>(first, last, scaled, negative);
    case 6:
      return PutScaled<6>(first, last, scaled, negative);
    case 7:
      return PutScaled<7>(first, last, scaled, negative);
    case 8:
      return PutScaled<8>(first, last, scaled, negative);
    default:
      return PutScaled<9>(first, last, scaled, negative);
  }
}

}  // namespace

char* AppendFixed(char* first, char* last, double v, int decimals) {
  if (decimals < 0) decimals = 6;
  if (decimals <= kFastDecimalsMax) {
    if (char* end = AppendFixedFast(first, last, v, decimals)) return end;
  }
  const auto [end, error] = std::to_chars(first, last, v, std::chars_format::fixed, decimals);
  return error == std::errc() ? end : nullptr;
}

char* AppendGeneral(char* first, char* last, double v, int digits) {
  if (digits < 0) digits = 6;
  const auto [end, error] = std::to_chars(first, last, v, std::chars_format::general, digits);
  return error == std::errc() ? end : nullptr;
}

char* AppendInt(char* first, char* last, std::int64_t v, int minDigits) {
  const bool negative = v < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  return PutUnsigned(first, last, negative, magnitude, minDigits, 10, false);
}

char* AppendUnsigned(char* first, char* last, std::uint64_t v, int minDigits) {
  return PutUnsigned(first, last, false, v, minDigits, 10, false);
}

char* AppendHex(char* first, char* last, std::uint64_t v, int minDigits, bool upperCase) {
  return PutUnsigned(first, last, false, v, minDigits, 16, upperCase);
}

std::size_t FormatFixed(char* buffer, std::size_t size, double v, int decimals) {
  return FormatCut(
      buffer, size, [&](char* first, char* last) { return AppendFixed(first, last, v, decimals); },
      [&] { FormatCLocale(buffer, size, "%.*f", decimals, v); });
}

std::size_t FormatInt(char* buffer, std::size_t size, std::int64_t v, int minDigits) {
  return FormatCut(
      buffer, size, [&](char* first, char* last) { return AppendInt(first, last, v, minDigits); },
      [&] { FormatCLocale(buffer, size, "%.*lli", minDigits, static_cast<long long>(v)); });
}

std::size_t FormatUnsigned(char* buffer, std::size_t size, std::uint64_t v, int minDigits) {
  return FormatCut(
      buffer, size, [&](char* first, char* last) { return AppendUnsigned(first, last, v, minDigits); },
      [&] { FormatCLocale(buffer, size, "%.*llu", minDigits, static_cast<unsigned long long>(v)); });
}

std::size_t FormatHex(char* buffer, std::size_t size, std::uint64_t v, int minDigits, bool upperCase) {
  return FormatCut(
      buffer, size, [&](char* first, char* last) { return AppendHex(first, last, v, minDigits, upperCase); },
      [&] {
        FormatCLocale(buffer, size, upperCase ? "%.*llX" : "%.*llx", minDigits,
                      static_cast<unsigned long long>(v));
      });
}

std::string FixedText(double v, int decimals) {
  char text[400];
  if (char* end = AppendFixed(text, text + sizeof text, v, decimals)) return std::string(text, end);
  char other[1600];
  if (char* end = AppendFixed(other, other + sizeof other, v, decimals)) return std::string(other, end);
  // Decimals beyond any sensible use: let printf size the text.
  std::string result(8192, '\0');
  result.resize(FormatFixed(result.data(), result.size(), v, decimals));
  return result;
}

int FormatCLocaleV(char* buffer, std::size_t size, const char* format, va_list args) {
  if (format == nullptr) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    return 0;
  }
  ScopedCLocale cLocale;
  return std::vsnprintf(buffer, size, format, args);
}

int FormatCLocale(char* buffer, std::size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = FormatCLocaleV(buffer, size, format, args);
  va_end(args);
  return written;
}

std::string StringCLocaleV(const char* format, va_list args) {
  if (format == nullptr) return std::string();
  ScopedCLocale cLocale;
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

NumberRead ReadDecimal(std::string_view text, double& value) {
  return ReadComplete(text, value);
}

NumberRead ReadDecimalFloat(std::string_view text, float& value) {
  return ReadComplete(text, value);
}

double ReadLeadingDouble(std::string_view text, std::size_t* used) {
  return ReadLeading<double>(text, used,
                             [](const char* s, char** end) { return ::strtod_l(s, end, CLocale()); });
}

float ReadLeadingFloat(std::string_view text, std::size_t* used) {
  return ReadLeading<float>(text, used,
                            [](const char* s, char** end) { return ::strtof_l(s, end, CLocale()); });
}
