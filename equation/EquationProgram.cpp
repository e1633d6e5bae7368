#include "EquationProgram.h"

#include <cmath>

#include "EquationText.h"
#include "FixedRounding.h"

namespace et = equation_text;

namespace {

bool HasLetter(const std::string& token) {
  for (char c : token) {
    if (et::IsLetter(c)) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<EquationEvaluator::Program> EquationEvaluator::Program::Compile(
    const std::string& postfixText) {
  auto program = std::make_unique<Program>();
  Program& p = *program;
  p.postfix = postfixText;
  p.slotOfLetter.fill(-1);

  // Variable table: every letter of the postfix text, in order. A letter right
  // after a '-' that starts an operand is written as the negated value's text.
  std::size_t negatedTotal = 0;
  for (std::size_t i = 0; i < postfixText.size(); ++i) {
    const char c = postfixText[i];
    if (!et::IsLetter(c)) continue;
    if (p.entryLetters.size() == kMaxVariables) return nullptr;
    p.entryLetters.push_back(c);
    const auto index = static_cast<unsigned char>(c);
    if (p.slotOfLetter[index] < 0) {
      p.slotOfLetter[index] = static_cast<std::int8_t>(p.slotLetters.size());
      p.slotLetters.push_back(c);
      p.plainUses.push_back(0);
      p.negatedUses.push_back(0);
    }
    const auto slot = static_cast<std::size_t>(p.slotOfLetter[index]);
    const bool negated = i >= 2 && postfixText[i - 1] == '-' && postfixText[i - 2] == ' ';
    if (negated) {
      ++p.negatedUses[slot];
      ++negatedTotal;
    } else {
      ++p.plainUses[slot];
    }
  }
  p.fixedLength = postfixText.size() - p.entryLetters.size() - negatedTotal;
  p.smallValuesFit = p.fixedLength + kSmallValueText * p.entryLetters.size() < kSubstitutionBuffer;

  // Every value's text is at least as long as its letter, so a postfix text
  // that does not fit the buffer never will.
  if (postfixText.size() >= kSubstitutionBuffer) {
    p.alwaysFails = true;
    return program;
  }

  bool dynamicDepth = false;
  int depth = 0;
  std::size_t start = 0;
  while (start < postfixText.size()) {
    if (postfixText[start] == ' ') {
      ++start;
      continue;
    }
    std::size_t end = postfixText.find(' ', start);
    if (end == std::string::npos) end = postfixText.size();
    const std::string token = postfixText.substr(start, end - start);
    start = end;

    Instruction ins{Op::kConstant, 0, 0.0};
    const int op = token.size() == 1 ? et::FindOperator(token[0]) : -1;
    if (op >= 0) {
      ins.op = Op::kOperator;
      ins.index = static_cast<std::uint16_t>(op);
      if (depth < 2 && !dynamicDepth) {
        p.alwaysFails = true;  // the operator will find fewer than two values
      }
      --depth;
    } else if (!HasLetter(token)) {
      if (!et::ParseDecimal(token.data(), token.size(), ins.constant)) {
        p.alwaysFails = true;  // never a number, whatever the variables hold
      }
      ++depth;
    } else if (token.size() == 1) {
      ins.op = Op::kSlot;
      ins.index = static_cast<std::uint16_t>(p.slotOfLetter[static_cast<unsigned char>(token[0])]);
      ++depth;
    } else if (token.size() == 2 && token[0] == '-' && et::IsLetter(token[1])) {
      ins.op = Op::kNegatedSlot;
      ins.index = static_cast<std::uint16_t>(p.slotOfLetter[static_cast<unsigned char>(token[1])]);
      ++depth;
    } else {
      // Letters mixed with digits or with other letters: the values' texts
      // join the operand text, so it is read from the text at run time.
      ins.op = Op::kText;
      ins.index = static_cast<std::uint16_t>(p.texts.size());
      p.texts.push_back(token);
      dynamicDepth = true;
    }
    p.code.push_back(ins);
  }
  return program;
}

bool EquationEvaluator::Program::SubstitutedTextFits(const double* slotValues) const {
  const std::size_t slots = slotLetters.size();
  if (smallValuesFit) {
    bool small = true;
    for (std::size_t s = 0; s < slots; ++s) small &= std::fabs(slotValues[s]) < kSmallValueLimit;
    if (small) return true;
  }
  std::size_t length = fixedLength;
  for (std::size_t s = 0; s < slots; ++s) {
    const double v = slotValues[s];
    if (plainUses[s] != 0) length += plainUses[s] * fixed_rounding::TextLength(v);
    if (negatedUses[s] != 0) length += negatedUses[s] * fixed_rounding::TextLength(-v);
  }
  return length < kSubstitutionBuffer;
}

int EquationEvaluator::Program::RunText(const std::string& token, const double* slotValues, double* stack,
                                        std::size_t& depth) const {
  char text[kSubstitutionBuffer];
  std::size_t used = 0;
  for (std::size_t i = 0; i < token.size(); ++i) {
    const char c = token[i];
    if (et::IsLetter(c) || (c == '-' && i == 0 && i + 1 < token.size() && et::IsLetter(token[i + 1]))) {
      const bool negated = c == '-';
      const char letter = negated ? token[++i] : c;
      const double v = slotValues[slotOfLetter[static_cast<unsigned char>(letter)]];
      const std::size_t length = fixed_rounding::Format(negated ? -v : v, text + used, sizeof text - used);
      if (length == 0) return et::kTooLong;
      used += length;
    } else {
      if (used + 1 >= sizeof text) return et::kTooLong;
      text[used++] = c;
    }
  }
  return et::Scan(text, text + used, stack, kStackCapacity, depth);
}

double EquationEvaluator::Program::Run(const double* slotValues) const {
  if (alwaysFails || code.empty()) return 0.0;
  if (!SubstitutedTextFits(slotValues)) return 0.0;

  double rounded[kMaxVariables];
  const std::size_t slots = slotLetters.size();
  for (std::size_t s = 0; s < slots; ++s) rounded[s] = fixed_rounding::Round6(slotValues[s]);

  double stack[kStackCapacity];
  std::size_t depth = 0;
  for (const Instruction& ins : code) {
    switch (ins.op) {
      case Op::kConstant:
        stack[depth++] = ins.constant;
        break;
      case Op::kSlot:
        stack[depth++] = rounded[ins.index];
        break;
      case Op::kNegatedSlot:
        stack[depth++] = -rounded[ins.index];
        break;
      case Op::kText:
        if (RunText(texts[ins.index], slotValues, stack, depth) != et::kOk) return 0.0;
        break;
      case Op::kOperator: {
        if (depth < 2) return 0.0;
        const double b = stack[--depth];
        const double a = stack[depth - 1];
        if (et::Apply(ins.index, a, b, stack[depth - 1]) != et::kOk) return 0.0;
        break;
      }
    }
  }
  // One value is the result; more than one leaves the top value as the result.
  return depth == 0 ? 0.0 : stack[depth - 1];
}
