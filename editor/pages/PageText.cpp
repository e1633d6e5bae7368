#include "editor/pages/PageText.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "definition/AdxNumberText.h"
#include "definition/NumberText.h"

std::string FormatHexField(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "0x%.2X", value);
  return buffer;
}

std::uint32_t ReadHexField(std::string_view text) {
  return ParseHexText(text);
}

std::string FormatFloatField(double value) {
  return FixedText(value, 6);
}

bool TryReadFloatField(std::string_view text, float* value) {
  double v = 0.0;
  switch (ReadDecimal(text, v)) {
    case NumberRead::kOk: {
      // Straight to float where it fits, so the text is rounded only once.
      float f = 0.0f;
      if (ReadDecimalFloat(text, f) == NumberRead::kOk) {
        *value = f;
        return true;
      }
      break;
    }
    case NumberRead::kEmpty:
      *value = 0.0f;
      return true;
    case NumberRead::kOutOfRange:
      v = ReadLeadingDouble(text);  // an infinity with the number's sign
      break;
    case NumberRead::kNotANumber:
      return false;
  }
  *value = v > FLT_MAX ? FLT_MAX : v < -FLT_MAX ? -FLT_MAX : static_cast<float>(v);
  return true;
}

std::string FloatFieldMessage(std::string_view label, std::string_view text) {
  std::string message(label);
  message += ": \"";
  message += text.substr(0, 40);
  message += "\" is not a number. Write a decimal number with a point, for example 12.5.";
  return message;
}

float ReadFloatField(std::string_view text) {
  float value = 0.0f;
  return TryReadFloatField(text, &value) ? value : 0.0f;
}

std::uint32_t ReadUnsignedField(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::uint64_t n = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    n = n * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (n > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  }
  return static_cast<std::uint32_t>(n);
}

std::int32_t ReadUnsignedField31(std::string_view text) {
  const std::uint32_t n = ReadUnsignedField(text);
  return n > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<std::int32_t>(n);
}

std::uint8_t ReadUnsignedField8(std::string_view text) {
  const std::uint32_t n = ReadUnsignedField(text);
  return n > 0xFFu ? 0xFF : static_cast<std::uint8_t>(n);
}

std::int16_t ReadInt16Field(std::string_view text) {
  const std::int32_t n = ParseDecText(text);
  if (n > INT16_MAX) return INT16_MAX;
  if (n < INT16_MIN) return INT16_MIN;
  return static_cast<std::int16_t>(n);
}

std::int32_t NormalizeBaud(std::int64_t baud) {
  if (baud < kBaudMin) baud = kBaudMin;
  if (baud > kBaudMax) baud = kBaudMax;
  const std::int64_t rest = baud % 8;
  baud = rest < 4 ? baud - rest : baud + (8 - rest);
  // Both limits are multiples of 8, so rounding cannot leave the range.
  return static_cast<std::int32_t>(baud);
}

std::int32_t ReadBaudField(std::string_view text) {
  return NormalizeBaud(ParseDecText(text));
}

std::string FormatByteString(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char buffer[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buffer, sizeof(buffer), "%.2X", bytes[i]);
    if (i != 0) out += ' ';
    out += buffer;
  }
  return out;
}

std::vector<std::uint8_t> ReadByteString(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n') ++i;
    if (i > start)
      bytes.push_back(static_cast<std::uint8_t>(ParseHexText(text.substr(start, i - start)) & 0xFFu));
  }
  return bytes;
}

std::string EquationStatusText(std::string_view equation) {
  const std::string_view head = equation.substr(0, 99);
  int open = 0;
  int close = 0;
  for (const char c : head) {
    if (c == '(') ++open;
    if (c == ')') ++close;
  }
  if (open > close) return "Missing )";
  if (close > open) return "Missing (";
  return "Equation Format Appears Valid";
}

const std::vector<std::uint32_t>& TriggerEntryValues() {
  static const std::vector<std::uint32_t> values{0xFFFFFFFFu, 0x2u, 0x4u, 0x8u, 0x10u};
  return values;
}

std::vector<int> TriggerSelectionFor(std::uint32_t triggertype) {
  const auto& values = TriggerEntryValues();
  std::vector<int> rows;
  for (int bit = 0; bit < 32; ++bit) {
    const std::uint32_t mask = 1u << bit;
    if ((triggertype & mask) == 0) continue;
    for (std::size_t row = 0; row < values.size(); ++row) {
      if (values[row] == mask) rows.push_back(static_cast<int>(row));
    }
  }
  return rows;
}

std::uint32_t TriggerTypeFor(const std::vector<int>& selectedRows) {
  const auto& values = TriggerEntryValues();
  std::uint32_t type = 0;
  for (const int row : selectedRows) {
    if (row >= 0 && static_cast<std::size_t>(row) < values.size())
      type |= values[static_cast<std::size_t>(row)];
  }
  return type;
}
