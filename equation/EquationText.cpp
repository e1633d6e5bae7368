#include "equation/EquationText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace equation_text {

int FindOperator(char c) {
  for (int i = 0; i < kOperatorCount; ++i) {
    if (kOperatorChars[i] == c) return i;
  }
  return -1;
}

std::size_t OperandLength(const char* text, const char* end) {
  std::size_t length = 0;
  for (const char* p = text; p < end; ++p) {
    const char c = *p;
    if (IsLetter(c) || IsDigit(c) || c == '.' || (c == '-' && p == text)) {
      ++length;
    } else {
      break;
    }
  }
  return length;
}

bool ParseDecimal(const char* text, std::size_t length, double& value) {
  if (length == 0) return false;
  const char* end = text + length;
  double parsed = 0.0;
  const std::from_chars_result r = std::from_chars(text, end, parsed, std::chars_format::fixed);
  if (r.ptr != end) return false;
  if (r.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: saturate the way the C library
    // reader does, to infinity or to zero with the sign of the text.
    const bool negative = text[0] == '-';
    bool overflow = false;
    for (const char* p = negative ? text + 1 : text; p < end && *p != '.'; ++p) {
      if (*p != '0') overflow = true;
    }
    const double magnitude = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    value = negative ? -magnitude : magnitude;
    return true;
  }
  if (r.ec != std::errc()) return false;
  value = parsed;
  return true;
}

Result Apply(int op, double a, double b, double& result) {
  switch (op) {
    case kPower:
      result = std::pow(a, b);
      return Result::kOk;
    case kMultiply:
      result = a * b;
      return Result::kOk;
    case kDivide:
      if (b == 0.0) return Result::kDivideByZero;
      result = a / b;
      return Result::kOk;
    case kRemainder:
      return Remainder(a, b, result) ? Result::kOk : Result::kDivideByZero;
    case kSubtract:
      result = a - b;
      return Result::kOk;
    case kAdd:
      result = a + b;
      return Result::kOk;
    case kXor:
      result = static_cast<double>(Truncate32(a) ^ Truncate32(b));
      return Result::kOk;
    case kAnd:
      result = static_cast<double>(Truncate32(a) & Truncate32(b));
      return Result::kOk;
    case kOr:
      result = static_cast<double>(Truncate32(a) | Truncate32(b));
      return Result::kOk;
    case kLess:
      result = a < b ? 1.0 : 0.0;
      return Result::kOk;
    case kGreater:
      result = a > b ? 1.0 : 0.0;
      return Result::kOk;
    default:
      return Result::kBadCharacter;
  }
}

Result Scan(const char* text, const char* end, double* stack, std::size_t capacity, std::size_t& depth) {
  const char* p = text;
  while (p < end) {
    const char c = *p;
    if (IsSpace(c)) {
      ++p;
      continue;
    }
    const int op = FindOperator(c);
    bool operand = op < 0;
    if (!operand && p + 1 < end) {
      const char next = p[1];
      operand = IsDigit(next) || (c == '-' && (next == '.' || IsLetter(next)));
    }
    if (operand) {
      const std::size_t length = OperandLength(p, end);
      double value = 0.0;
      if (!ParseDecimal(p, length, value)) return Result::kBadCharacter;
      if (depth >= capacity) return Result::kTooLong;
      stack[depth++] = value;
      p += length;
      continue;
    }
    if (depth < 2) return Result::kStackOrParen;
    const double b = stack[--depth];
    const double a = stack[--depth];
    double result = 0.0;
    const Result code = Apply(op, a, b, result);
    if (code != Result::kOk) return code;
    stack[depth++] = result;
    ++p;
  }
  return Result::kOk;
}

}  // namespace equation_text
