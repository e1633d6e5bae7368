// Number text for files: formatting and reading. Files must read back the same
// on every machine, so formatting never follows the user's locale: the
// decimal separator is always ".".
//
// Thread contract: free functions without shared state; safe on any thread.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

// The value as signed decimal.
std::string XmlFormatInt(int64_t value);
// The value as printf's "%f" gives it in the C locale (six decimals).
std::string XmlFormatFloat(double value);
// printf-style formatting in the C locale, of any length.
std::string XmlFormatV(const char* format, va_list args);
std::string XmlFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reads a decimal floating-point number as strtod does in the C locale:
// leading white space, an optional sign, digits with an optional "." and
// exponent. Reading stops at the first character that does not fit; text
// without a number reads 0.0.
double XmlParseDouble(std::string_view text);
