#include "equation/EquationEvaluator.h"

#include <algorithm>
#include <cstring>

#include "equation/EquationProgram.h"
#include "equation/EquationText.h"

namespace et = equation_text;

EquationEvaluator::EquationEvaluator() = default;
EquationEvaluator::~EquationEvaluator() = default;

EquationEvaluator::EquationEvaluator(const EquationEvaluator& other)
    : equationText_(other.equationText_),
      hasEquationText_(other.hasEquationText_),
      program_(other.program_ ? std::make_unique<Program>(*other.program_) : nullptr),
      kernel_(other.kernel_),
      slotValues_(other.slotValues_),
      slotOfLetter_(other.slotOfLetter_) {}

EquationEvaluator& EquationEvaluator::operator=(const EquationEvaluator& other) {
  if (this != &other) {
    EquationEvaluator copy(other);
    equationText_ = std::move(copy.equationText_);
    hasEquationText_ = copy.hasEquationText_;
    program_ = std::move(copy.program_);
    kernel_ = copy.kernel_;
    slotValues_ = copy.slotValues_;
    slotOfLetter_ = copy.slotOfLetter_;
  }
  return *this;
}

int EquationEvaluator::SetEquation(const char* text, std::size_t length) {
  if (text == nullptr || length == 0) return 0;
  // The text ends at its NUL, looked for within length + 1 characters; a text
  // without one there is stored as empty.
  std::size_t end = 0;
  while (end <= length && text[end] != '\0') ++end;
  equationText_.assign(text, end <= length ? end : 0);
  hasEquationText_ = true;

  std::string postfix;
  if (ToPostfix(equationText_.c_str(), postfix) != EquationResult::kOk) return 0;
  std::unique_ptr<Program> program = Program::Compile(postfix);
  if (!program) return 0;  // more than kMaxVariables letters
  program_ = std::move(program);
  kernel_ = program_->kernel;
  slotValues_.fill(0.0);
  slotOfLetter_ = NoSlots();
  std::copy(program_->slotOfLetter.begin(), program_->slotOfLetter.end(), slotOfLetter_.begin());
  return 1;
}

int EquationEvaluator::GetEquation(char* buffer, std::size_t capacity) const {
  if (!hasEquationText_ || buffer == nullptr || capacity == 0) return 1;
  const std::size_t length = equationText_.size();
  const std::size_t copied = std::min(length, capacity - 1);
  std::memcpy(buffer, equationText_.data(), copied);
  buffer[copied] = '\0';
  return length < capacity ? static_cast<int>(length + 1) : 1;
}

unsigned EquationEvaluator::VariableCount() const {
  return program_ ? static_cast<unsigned>(program_->entryLetters.size()) : 0u;
}

char EquationEvaluator::VariableLetter(unsigned index) const {
  if (!program_ || index >= program_->entryLetters.size()) return 0;
  return program_->entryLetters[index];
}

double EquationEvaluator::NoProgram(const Program*, const double*) {
  return 0.0;
}

unsigned EquationEvaluator::SlotCount() const {
  return program_ ? static_cast<unsigned>(program_->slotLetters.size()) : 0u;
}

int EquationEvaluator::SlotOf(char letter) const {
  const auto index = static_cast<unsigned char>(letter);
  return slotOfLetter_[index];
}

double EquationEvaluator::EvaluateWithoutValues() const {
  // Only an equation without variables can do without values.
  if (!program_ || !program_->slotLetters.empty()) return 0.0;
  static constexpr double kNone[1] = {0.0};
  return kernel_(program_.get(), kNone);
}

const std::string& EquationEvaluator::PostfixText() const {
  static const std::string kEmpty;
  return program_ ? program_->postfix : kEmpty;
}

EquationResult EquationEvaluator::ToPostfix(const char* infix, std::string& postfix) {
  postfix.clear();
  if (infix == nullptr) return EquationResult::kOk;
  const char* p = infix;
  const char* const end = infix + std::strlen(infix);
  std::string stack;  // "(" and operator characters
  bool operatorJustRead = false;

  while (p < end) {
    const char c = *p;
    if (et::IsSpace(c)) {
      ++p;
      continue;
    }
    if (c == '(') {
      stack.push_back(c);
      ++p;
      continue;
    }
    if (c == ')') {
      for (;;) {
        if (stack.empty()) {
          postfix.clear();
          return EquationResult::kStackOrParen;
        }
        const char top = stack.back();
        stack.pop_back();
        if (top == '(') break;
        postfix += ' ';
        postfix += top;
      }
      ++p;
      continue;
    }
    const int op = et::FindOperator(c);
    if (op < 0 || operatorJustRead) {
      // An operand; an operator character right after an operator is its sign.
      const std::size_t length = et::OperandLength(p, end);
      if (length == 0 && !operatorJustRead) {
        postfix.clear();
        return EquationResult::kBadCharacter;
      }
      // A zero-length operand leaves a lone space and reads the same
      // character again, now as an operator.
      postfix += ' ';
      postfix.append(p, length);
      p += length;
      operatorJustRead = false;
      continue;
    }
    operatorJustRead = true;
    if (postfix.empty()) postfix += " 0";  // a leading "-" negates, a leading "+" is neutral
    while (!stack.empty() && stack.back() != '(' &&
           et::kPrecedence[et::FindOperator(stack.back())] >= et::kPrecedence[op]) {
      postfix += ' ';
      postfix += stack.back();
      stack.pop_back();
    }
    stack.push_back(c);
    ++p;
  }
  while (!stack.empty()) {
    const char top = stack.back();
    stack.pop_back();
    if (top == '(') {
      postfix.clear();
      return EquationResult::kStackOrParen;
    }
    postfix += ' ';
    postfix += top;
  }
  return EquationResult::kOk;
}

EquationResult EquationEvaluator::EvaluatePostfix(const char* text, double& result) {
  result = 0.0;
  if (text == nullptr) return EquationResult::kOk;
  const std::size_t length = std::strlen(text);
  // Every value takes at least one character of the text.
  std::vector<double> stack(length + 1);
  std::size_t depth = 0;
  const EquationResult code = et::Scan(text, text + length, stack.data(), stack.size(), depth);
  if (code != EquationResult::kOk) return code;
  if (depth == 0) return EquationResult::kStackOrParen;
  result = stack[depth - 1];
  return depth == 1 ? EquationResult::kOk : EquationResult::kExtraValues;
}
