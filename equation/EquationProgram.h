#pragma once
// The compiled form of a converted equation: the postfix text, its variable
// table, and a token program (constants, variable slots, negated slots,
// operators) that evaluates to the same result, bit for bit, as substituting
// every variable's six-decimal text into the postfix text and scanning it.
//
// A program is built once by Compile and never changes afterwards; Run is
// const, uses only its arguments and stack memory, and may be called from
// several threads at once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

  static constexpr std::size_t kStackCapacity = kSubstitutionBuffer;
  // Longest six-decimal text of a value below 1e16 in magnitude.
  static constexpr std::size_t kSmallValueText = 24;
  static constexpr double kSmallValueLimit = 1.0e16;

  std::string postfix;
  std::vector<char> entryLetters;               // one per letter occurrence, postfix order
  std::vector<char> slotLetters;                // distinct letters by first occurrence
  std::array<std::int8_t, 128> slotOfLetter{};  // -1 when not a variable
  // Per slot: occurrences written as the value's text, and occurrences in a
  // "-X" operand written as the negated value's text.
  std::vector<std::uint16_t> plainUses;
  std::vector<std::uint16_t> negatedUses;
  std::size_t fixedLength = 0;  // substituted length without the values' texts
  bool smallValuesFit = false;  // fits whenever every value is below kSmallValueLimit
  bool alwaysFails = false;     // every evaluation is an error (result 0.0)
  // A first operand followed only by fused operators (X*0.5+10,
  // (A*256+B)/4): runs on one accumulator instead of the stack.
  bool chain = false;
  // The commonest shape, a variable times or divided by a constant, plus or
  // minus a constant (X*0.5+10, X/4-40): computed without dispatch as
  // (x * scale or x / scale) + offset, a minus folded into the offset's sign.
  bool affine = false;
  bool affineDivides = false;
  std::uint16_t affineSlot = 0;
  double affineScale = 1.0;
  double affineOffset = 0.0;
  // A chain whose text always fits while every value is a short integer.
  bool integerFastPath = false;
  std::vector<Instruction> code;
  std::vector<std::string> texts;

  // Builds the program of a postfix text produced by ToPostfix. Returns null
  // when the text has more than kMaxVariables letters.
  static std::unique_ptr<Program> Compile(const std::string& postfixText);

  // Evaluates with one value per slot; 0.0 on any error.
  double Run(const double* slotValues) const;

 private:
  double RunIntegerChain(const double* slotValues) const;
  double RunGeneral(const double* slotValues) const;
  bool SubstitutedTextFits(const double* slotValues) const;
  double RunChain(const double* rounded) const;
  double RunStack(const double* rounded, const double* slotValues) const;
  int RunText(const std::string& token, const double* slotValues, double* stack, std::size_t& depth) const;
};
