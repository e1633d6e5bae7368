#pragma once
// The text level of conversion equations: character classes, the operator
// table, operand lengths, the arithmetic of the eleven operators and the scan
// of a (substituted) postfix text with a value stack.
//
// Everything here is a pure function of its arguments; the operator table is
// constant. Safe to call from any thread.
#include <cstddef>
#include <cstdint>

#include "equation/EquationEvaluator.h"

namespace equation_text {

using Result = EquationResult;

// Operator table indexes, in lookup order.
enum Operator : int {
  kPower = 0,  // '#'
  kMultiply,   // '*'
  kDivide,     // '/'
  kRemainder,  // '%'
  kSubtract,   // '-'
  kAdd,        // '+'
  kXor,        // '^'
  kAnd,        // '&'
  kOr,         // '|'
  kLess,       // '<'
  kGreater,    // '>'
  kOperatorCount
};

inline constexpr char kOperatorChars[kOperatorCount + 1] = "#*/%-+^&|<>";
inline constexpr int kPrecedence[kOperatorCount] = {19, 19, 19, 18, 16, 16, 15, 15, 15, 13, 13};

// ASCII classes; bytes above 0x7F belong to none of them (no locale).
inline bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Operator table index of c, or -1 when c is not an operator character.
int FindOperator(char c);

// Length of the operand at the start of text (which ends at end): letters,
// digits and '.', with '-' allowed only as the first character. 0 when the
// first character is none of these.
std::size_t OperandLength(const char* text, const char* end);

// Reads the whole of [text, text + length) as a decimal number ("12", "-.5",
// "12.", "inf", "-nan"; no exponent, no hexadecimal). Returns false when the
// text is empty or not wholly such a number. Locale independent.
bool ParseDecimal(const char* text, std::size_t length, double& value);

// Truncates toward zero to a signed 32-bit integer, saturating at the ends of
// the range; NaN gives 0.
inline std::int32_t Truncate32(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return INT32_MAX;
  if (x <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(x);
}

// The integer remainder of a by b; false for a divisor that is or truncates to 0.
inline bool Remainder(double a, double b, double& result) {
  if (b == 0.0) return false;
  const std::int32_t ib = Truncate32(b);
  if (ib == 0) return false;
  // Any number modulo -1 is 0; asking the hardware for INT32_MIN % -1 traps.
  result = ib == -1 ? 0.0 : static_cast<double>(Truncate32(a) % ib);
  return true;
}

// Applies operator op to a and b. Returns kOk or kDivideByZero.
Result Apply(int op, double a, double b, double& result);

// Scans [text, end) of a postfix text whose variables are already replaced by
// numbers, pushing operands on stack (capacity entries, depth entries in use)
// and applying operators. A '-' starts an operand when a digit, a '.' or a
// letter follows it (a negative number, "-.5", "-inf"); otherwise it is the
// minus operator. Returns kOk, kStackOrParen (an operator lacks operands or
// the stack is full), kBadCharacter or kDivideByZero.
Result Scan(const char* text, const char* end, double* stack, std::size_t capacity, std::size_t& depth);

}  // namespace equation_text
