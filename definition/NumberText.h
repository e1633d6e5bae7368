#pragma once
// Number text that never follows the user's locale: the decimal separator is
// always ".", so files, equations, value texts, CSV rows and log lines read
// the same on every machine.
//
// The Append functions write the text that the C locale's printf gives for
// the named conversion, byte for byte (including "nan", "-nan", "inf" and
// "-inf"), into [first, last) without allocating and without a NUL. They
// return the end of the text, or nullptr when it does not fit (then the
// contents of the range are unspecified). The Format functions are the
// snprintf-shaped forms: the text cut to size - 1 characters and a NUL; they
// return the length written.
//
// The Read functions parse. ReadDecimal takes only a complete number, so
// "12,5" is refused instead of being read as 12.
//
// Thread contract: pure functions, callable from any thread. FormatCLocale
// switches only the calling thread's locale, and only for the call.
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// "%.*f" of v with the given decimals (a negative count means 6, as in printf).
char* AppendFixed(char* first, char* last, double v, int decimals);
// "%.*g" of v with the given significant digits (negative means 6, 0 means 1).
char* AppendGeneral(char* first, char* last, double v, int digits);
// "%.*lli": at least minDigits digits, zero-padded; printf's rule that
// precision 0 writes nothing for the value 0 holds. Negative means 1.
char* AppendInt(char* first, char* last, std::int64_t v, int minDigits = 1);
// "%.*llu".
char* AppendUnsigned(char* first, char* last, std::uint64_t v, int minDigits = 1);
// "%.*llX" (upper case) or "%.*llx".
char* AppendHex(char* first, char* last, std::uint64_t v, int minDigits = 1, bool upperCase = true);

std::size_t FormatFixed(char* buffer, std::size_t size, double v, int decimals);
std::size_t FormatInt(char* buffer, std::size_t size, std::int64_t v, int minDigits = 1);
std::size_t FormatUnsigned(char* buffer, std::size_t size, std::uint64_t v, int minDigits = 1);
std::size_t FormatHex(char* buffer, std::size_t size, std::uint64_t v, int minDigits = 1,
                      bool upperCase = true);

// "%.*f" as a string.
std::string FixedText(double v, int decimals);

// vsnprintf in the C locale, whatever the process or thread locale is, for
// the printf-style texts (log lines, messages) that mix numbers with words.
// Returns what vsnprintf returns.
int FormatCLocaleV(char* buffer, std::size_t size, const char* format, va_list args);
int FormatCLocale(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// The same into a string of any length (empty on an encoding error).
std::string StringCLocaleV(const char* format, va_list args);

enum class [[nodiscard]] NumberRead{
    kOk,
    kEmpty,       // nothing but blanks
    kNotANumber,  // anything else than one complete decimal number
    kOutOfRange,  // a number too large for a double
};

// One complete decimal number: optional blanks, an optional sign, digits
// with an optional "." and fraction (at least one digit), an optional
// exponent, optional blanks. Nothing else, so "12,5", "1.2.3", "0x10",
// "inf" and "nan" are refused. A number too small for a double reads as the
// nearest representable value (0 or a subnormal). value is set only on kOk.
NumberRead ReadDecimal(std::string_view text, double& value);
// The same for a 32-bit float; kOutOfRange beyond the float range.
NumberRead ReadDecimalFloat(std::string_view text, float& value);

// The leading number of a text, as strtod reads it in the C locale (blanks,
// sign, decimal or hexadecimal number, "inf", "nan"); 0 when the text does
// not start with a number. *used, when given, receives the characters read.
double ReadLeadingDouble(std::string_view text, std::size_t* used = nullptr);
// As strtof in the C locale.
float ReadLeadingFloat(std::string_view text, std::size_t* used = nullptr);
