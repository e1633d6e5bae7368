#pragma once
// How the editor pages show numbers in their fields and read them back. Every
// page goes through these, so a field reads the same text the same way
// wherever it stands.
//
// Thread contract: pure functions, callable from any thread.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "0x%.2X": at least two upper-case digits.
std::string FormatHexField(std::uint32_t value);
// Every hexadecimal digit in order, every other character (the "x" too) skipped;
// a text without digits reads 0.
std::uint32_t ReadHexField(std::string_view text);

// "%f", with a decimal point in every locale.
std::string FormatFloatField(double value);
// A decimal field's number: the whole text must be one decimal number (blanks
// around it allowed), so "12,5" or "12.5 kPa" is refused rather than cut to
// 12; an empty field reads 0. Numbers beyond the float range saturate.
// Returns false, leaving *value alone, for a refused text.
[[nodiscard]] bool TryReadFloatField(std::string_view text, float* value);
// The message for a refused decimal field, naming the field and its text.
std::string FloatFieldMessage(std::string_view label, std::string_view text);
// TryReadFloatField with 0 for a refused text.
float ReadFloatField(std::string_view text);

// Unsigned decimal: leading blanks, then the leading digits; anything else
// (a sign included) reads 0. Saturates at the largest 32-bit number.
std::uint32_t ReadUnsignedField(std::string_view text);
// The same, held to the largest number the target field can store.
std::int32_t ReadUnsignedField31(std::string_view text);
std::uint8_t ReadUnsignedField8(std::string_view text);
// Signed 16-bit decimal (gauge locations); out-of-range numbers saturate.
std::int16_t ReadInt16Field(std::string_view text);

// The header's baud: held to 1200 .. 115200, then rounded to the nearest
// multiple of 8 (a remainder below 4 rounds down).
constexpr std::int32_t kBaudMin = 1200;
constexpr std::int32_t kBaudMax = 115200;
std::int32_t NormalizeBaud(std::int64_t baud);
// Reads the baud field's decimal text (a sign is honoured, so "-5" clamps to
// the lowest rate) and normalises it.
std::int32_t ReadBaudField(std::string_view text);

// Byte strings are shown as space-separated two-digit hexadecimal bytes
// ("F0 57 29"). Reading takes every blank-separated token as one byte made of
// its hexadecimal digits (only the low byte is kept when a token has more than
// two). A text without tokens gives an empty vector.
std::string FormatByteString(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadByteString(std::string_view text);

// The status line of the equation dialog: compares the counts of "(" and ")"
// in the first 99 characters.
std::string EquationStatusText(std::string_view equation);

// The trigger page's list: the value of each entry in list order.
const std::vector<std::uint32_t>& TriggerEntryValues();
// The entries a stored trigger type selects: for every set bit, the entry whose
// value is that bit (so all bits select the four update entries).
std::vector<int> TriggerSelectionFor(std::uint32_t triggertype);
// The trigger type of a selection: the values of the selected entries ORed.
std::uint32_t TriggerTypeFor(const std::vector<int>& selectedRows);
