#pragma once
// Reading the number texts of definition files.
//
// Thread contract: pure functions, callable from any thread.
#include <cstdint>
#include <string_view>

// Hexadecimal number text: every hexadecimal digit (0-9, A-F, a-f) is taken in
// order and every other character is skipped, so "0x1F", "1F" and "1 F" all
// read 0x1F, "12" reads 0x12 and a text without a digit reads 0. Digits beyond
// the eighth shift the earlier ones out (the low 32 bits are kept).
std::uint32_t ParseHexText(std::string_view text);

// Decimal integer text: leading white space, an optional sign, then the
// leading digits; no digit reads 0. Numbers beyond the 32-bit range saturate.
std::int32_t ParseDecText(std::string_view text);
