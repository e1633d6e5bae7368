#pragma once
// The compiled form of a converted equation: the postfix text, its variable
// table, and a token program (constants, variable slots, negated slots,
// operators) that evaluates to the same result, bit for bit, as substituting
// every variable's six-decimal text into the postfix text and scanning it,
// plus the kernel that evaluates it (a fused one for arithmetic chains, see
// FusedKernels.cpp).
//
// A program is built once by Compile and never changes afterwards; Run is
// const, uses only its arguments and stack memory, and may be called from
// several threads at once.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "equation/EquationEvaluator.h"

struct EquationEvaluator::Program {
  // Instruction codes. The binary forms are followed by the operator table
  // index (kBinary + kMultiply); an operator whose right operand is a constant
  // or a variable is fused with it.
  enum Op : std::uint8_t {
    kConstant = 0,         // push constant
    kSlot = 1,             // push the rounded value of slot index
    kNegatedSlot = 2,      // push the negated rounded value of slot index ("-X")
    kText = 3,             // substitute and scan texts[index] (operands like "2X")
    kBinary = 16,          // b = pop, a = pop, push a op b
    kBinaryConstant = 32,  // top = top op constant
    kBinarySlot = 48,      // top = top op rounded value of slot index
  };
  struct Instruction {
    std::uint8_t op;
    std::uint16_t index;
    double constant;
  };

  // A value of a fused chain: a constant, a variable or a negated variable.
  struct FusedOperand {
    enum Kind : std::uint8_t { kConstant, kVariable, kNegated };
    double constant = 0.0;
    Kind kind = kConstant;
    std::uint8_t slot = 0;
  };
  // One step of a fused chain: acc = acc op operand, where the operand is a
  // value or a term "left termOp right" (the X*0.5 of X*X*0.001+X*0.5-3).
  // The steps' operators are template arguments of the chain's kernel.
  struct FusedStep {
    FusedOperand operand;
    bool term = false;
    int termOp = 0;
    FusedOperand right;
  };
  static constexpr std::size_t kMaxFusedSteps = 4;

  static constexpr std::size_t kStackCapacity = kSubstitutionBuffer;
  // Longest six-decimal text of a value below 1e16 in magnitude.
  static constexpr std::size_t kSmallValueText = 24;
  static constexpr double kSmallValueLimit = 1.0e16;
  // Longest six-decimal text of a whole number in the 64-bit range
  // ("-9223372036854775808.000000").
  static constexpr std::size_t kWholeNumberText = 27;

  std::string postfix;
  std::vector<char> entryLetters;               // one per letter occurrence, postfix order
  std::vector<char> slotLetters;                // distinct letters by first occurrence
  std::array<std::int8_t, 128> slotOfLetter{};  // -1 when not a variable
  // Per slot: occurrences written as the value's text, and occurrences in a
  // "-X" operand written as the negated value's text.
  std::vector<std::uint16_t> plainUses;
  std::vector<std::uint16_t> negatedUses;
  std::size_t fixedLength = 0;   // substituted length without the values' texts
  bool smallValuesFit = false;   // fits whenever every value is below kSmallValueLimit
  bool wholeNumbersFit = false;  // fits whenever every value IsWholeNumber
  bool alwaysFails = false;      // every evaluation is an error (result 0.0)
  // A first operand followed only by fused operators (X*0.5+10,
  // (A*256+B)/4): runs on one accumulator instead of the stack.
  bool chain = false;
  std::vector<Instruction> code;
  std::vector<std::string> texts;

  // A chain of the four arithmetic operators over constants, variables and
  // variable-op-constant terms (X*0.5+10, (X-40)*1.8+32, (A*256+B)/4,
  // X*X*0.001+X*0.5-3): evaluated by a kernel made for its operators, with
  // no dispatch per token.
  FusedOperand fusedFirst;
  std::array<FusedStep, kMaxFusedSteps> fusedSteps{};
  std::size_t fusedStepCount = 0;
  // The constants of a chain on one variable (X*0.5+10, 100/X-1): the first
  // operand when it is a constant, then those of the steps, in order.
  std::array<double, kMaxFusedSteps + 1> fusedConstants{};
  // Per step of such a chain: a division by its constant done as a
  // multiplication by two parts of the reciprocal, for dividends of at least
  // minDividend in magnitude (never while it is NaN). Used by the kernels for
  // processors with fused multiply-add; gives exactly the quotient.
  struct DivisorSplit {
    double hi = 0.0;
    double lo = 0.0;
    double minDividend = std::numeric_limits<double>::quiet_NaN();
  };
  std::array<DivisorSplit, kMaxFusedSteps + 1> fusedDivisors{};

  // How Run evaluates this program, chosen by Compile.
  Kernel kernel = nullptr;
  // The fused kernels' route for values that are not all whole numbers, by
  // the rounding this processor does best.
  Kernel roundedKernel = nullptr;

  // Builds the program of a postfix text produced by ToPostfix. Returns null
  // when the text has more than kMaxVariables letters. The kernels use fused
  // multiply-add where this processor has it; the second form chooses (true
  // only where fixed_rounding::HasFusedMultiplyAdd(); the tests check both
  // routes).
  static std::unique_ptr<Program> Compile(const std::string& postfixText);
  static std::unique_ptr<Program> Compile(const std::string& postfixText, bool fusedMultiplyAdd);

  // Evaluates with one value per slot; 0.0 on any error.
  double Run(const double* slotValues) const { return kernel(this, slotValues); }

  // The values as they read back from their six-decimal texts, written to
  // rounded; null when the substituted text would not fit the buffer.
  const double* RoundValues(const double* slotValues, double* rounded) const;

  double RunGeneral(const double* slotValues) const;
  double RunIntegerChain(const double* slotValues) const;
  // Whether the substituted text of these values fits the buffer.
  bool SubstitutedTextFits(const double* slotValues) const;

 private:
  double RunChain(const double* rounded) const;
  double RunStack(const double* rounded, const double* slotValues) const;
  EquationResult RunText(const std::string& token, const double* slotValues, double* stack,
                         std::size_t& depth) const;
};

// Chooses the fused kernel of a compiled program whose code is a chain of
// arithmetic operators, filling its fused fields; null when the code has
// another shape. Defined with the kernels.
EquationEvaluator::Kernel SelectFusedKernel(EquationEvaluator::Program& program, bool fusedMultiplyAdd);

// An integer below 2^52 in magnitude: its six-decimal text reads back as
// itself and is at most 24 characters long.
inline bool IsShortInteger(double v) {
  const double a = std::fabs(v);
  return a < 4503599627370496.0 && static_cast<double>(static_cast<std::int64_t>(a)) == a;
}

// A whole number in the range of a 64-bit integer: its six-decimal text reads
// back as itself and is at most kWholeNumberText characters long. The
// truncating conversion gives the "integer indefinite" value for NaN and for
// magnitudes out of range, which never compares equal to them.
inline bool IsWholeNumber(double v) {
#if defined(__x86_64__)
  return static_cast<double>(_mm_cvttsd_si64(_mm_set_sd(v))) == v;
#else
  return IsShortInteger(v);
#endif
}
