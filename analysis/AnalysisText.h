// Number and CSV texts of the analysis output: locale-independent, numbers as
// the shortest text that reads back to the same number.
//
// Thread contract: pure functions, callable from any thread.
#pragma once

#include <string>
#include <string_view>

// Shortest decimal text that reads back to the same double ("0.1", "1e+20").
std::string ShortestText(double value);
// Shortest decimal text that reads back to the same float; for numbers that
// are held as floats (axis breakpoints), "0.3" rather than "0.30000001192...".
std::string ShortestFloatText(float value);
// One CSV field per RFC 4180: quoted when it holds a comma, a double quote or
// a line break, inner quotes doubled.
std::string CsvCell(std::string_view text);
// Definition texts are bytes: a text that is valid UTF-8 is UTF-8, any other
// is Latin-1. The result is UTF-8, what CSV readers and terminals expect.
std::string Latin1ToUtf8Text(std::string_view text);
// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points beyond U+10FFFF).
bool IsValidUtf8(std::string_view text);
// Parses a number in C-locale form ("1.5", "-2", "1e3"); false for anything
// else, including trailing characters, infinities and not-a-number.
bool ParseSeconds(std::string_view text, double* out);
