#pragma once
// Conversion equations of definition values: numbers, variable letters, eleven
// binary operators and parentheses (X*0.5+10, (A*256+B)/4).
//
// The infix text is converted once, at SetEquation, to a postfix text (kept for
// inspection and for the editor) and compiled into a token program, and a
// kernel is chosen for it: chains of the four arithmetic operators (X*0.5+10,
// (X-40)*1.8+32, (A*256+B)/4, X*X*0.001+X*0.5-3) run on a routine made for
// their operators (built twice: once for processors with fused multiply-add,
// whose six-decimal rounding takes no division), whole-number values skip the
// rounding, and everything else runs the token program on a fixed-size stack.
// Evaluation allocates nothing.
// Every route gives the same results, bit for bit, as substituting every
// variable's "%f" text into the postfix text and evaluating that text (same
// operations, same order, same roundings), so values enter with six decimals
// (0.0000004 counts as 0). Where that text route would go wrong, the sound
// meaning holds instead:
//  - a negated operand after an operator ("2*-X", "2*-.5") is the negated
//    value, whatever the value's sign ("-X" is written as the text of -X);
//  - "-inf" and "-nan" values are numbers, not a minus operator;
//  - a substituted text longer than 199 characters is an error (0.0), never a
//    silently cut number; an equation with more than 32 letters is refused;
//  - "%", "^", "&", "|" truncate to 32-bit integers saturating at the ends of
//    the range (NaN gives 0), and any remainder by -1 is 0.
//
// Thread contract: an instance is configured (SetEquation) by one thread while
// nobody evaluates it. SetVariable/Evaluate keep values in the instance and
// serve one caller at a time. EvaluateSlots is const and touches no member
// state, so any number of threads may call it at once on a configured
// evaluator (the acquisition and GUI threads convert the same values).
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Result codes of the conversion (ToPostfix) and of the evaluation of a
// postfix text (EvaluatePostfix). The numbers are part of the interface; the
// one definition of them is here.
enum class [[nodiscard]] EquationResult : int{
    kOk = 0,
    kStackOrParen = 1,  // conversion: unbalanced parenthesis; evaluation: operator lacks operands
    kBadCharacter = 3,  // conversion: stray character; evaluation: operand is not a number
    kExtraValues = 4,   // evaluation: more than one value left
    kDivideByZero = 5,  // evaluation: division or remainder by zero
    kTooLong = 6,       // evaluation: substituted text would not fit the 200-character buffer
};

class EquationEvaluator {
 public:
  static constexpr std::size_t kMaxVariables = 32;         // letter occurrences per equation
  static constexpr std::size_t kSubstitutionBuffer = 200;  // characters including the NUL

  EquationEvaluator();
  ~EquationEvaluator();
  EquationEvaluator(const EquationEvaluator& other);
  EquationEvaluator& operator=(const EquationEvaluator& other);

  // Stores the text and converts it. Returns 1 on success, 0 on failure: a
  // null text or length 0 changes nothing; a text that does not convert, or
  // that has more than kMaxVariables letter occurrences, is stored (so that
  // GetEquation still gives what the user wrote) while the previous converted
  // equation and its variable values stay in force.
  int SetEquation(const char* text, std::size_t length);
  // Copies the stored text; returns its length + 1 when it fits, else 1.
  int GetEquation(char* buffer, std::size_t capacity) const;
  // Letter occurrences of the current converted equation.
  unsigned VariableCount() const;
  // The letter of variable-table entry index (postfix order), or 0.
  char VariableLetter(unsigned index) const;
  // Stores the value of a letter of the current equation; 0 for other letters.
  int SetVariable(char letter, double value) {
    const auto index = static_cast<unsigned char>(letter);
    if (slotOfLetter_[index] < 0) return 0;
    slotValues_[static_cast<std::size_t>(slotOfLetter_[index])] = value;
    return 1;
  }
  // The equation's value for the values set so far; 0.0 without an equation
  // or when the evaluation fails (an operator without two values, an operand
  // that is not a number, division or remainder by zero, a substituted text
  // longer than the buffer). With values left over, the top one.
  double Evaluate() const { return kernel_(program_.get(), slotValues_.data()); }

  // Distinct letters of the current equation, numbered by first occurrence in
  // the postfix text. EvaluateSlots takes one value per slot.
  unsigned SlotCount() const;
  int SlotOf(char letter) const;  // -1 when the letter is not a variable
  double EvaluateSlots(const double* slotValues) const {
    return slotValues != nullptr ? kernel_(program_.get(), slotValues) : EvaluateWithoutValues();
  }

  // The postfix text (" X 0.5 * 10 +") of the current converted equation.
  const std::string& PostfixText() const;

  // The internal steps, exposed for tests and for the editor's checks.
  static EquationResult ToPostfix(const char* infix, std::string& postfix);
  static EquationResult EvaluatePostfix(const char* text, double& result);

  struct Program;
  // Evaluates a program (null without an equation) for one value per slot.
  // Chosen when the equation is set, to suit the equation's shape.
  using Kernel = double (*)(const Program* program, const double* slotValues);

 private:
  static double NoProgram(const Program* program, const double* slotValues);
  double EvaluateWithoutValues() const;

  std::string equationText_;
  bool hasEquationText_ = false;
  std::unique_ptr<Program> program_;
  Kernel kernel_ = &NoProgram;
  // The values set by SetVariable, one per slot, and each character's slot
  // (-1 when it is not a variable), copied from the program so that
  // SetVariable is one table look-up for any character.
  std::array<double, kMaxVariables> slotValues_{};
  std::array<std::int8_t, 256> slotOfLetter_ = NoSlots();

  static constexpr std::array<std::int8_t, 256> NoSlots() {
    std::array<std::int8_t, 256> letterSlots{};
    for (auto& slot : letterSlots) slot = -1;
    return letterSlots;
  }
};
