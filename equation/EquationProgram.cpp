#include "equation/EquationProgram.h"

#include <cmath>

#include "equation/EquationText.h"
#include "equation/FixedRounding.h"

namespace et = equation_text;

namespace {

bool HasLetter(const std::string& token) {
  for (char c : token) {
    if (et::IsLetter(c)) return true;
  }
  return false;
}

double Zero(const EquationEvaluator::Program*, const double*) {
  return 0.0;
}
double General(const EquationEvaluator::Program* p, const double* slotValues) {
  return p->RunGeneral(slotValues);
}
double IntegerChain(const EquationEvaluator::Program* p, const double* slotValues) {
  return p->RunIntegerChain(slotValues);
}

}  // namespace

std::unique_ptr<EquationEvaluator::Program> EquationEvaluator::Program::Compile(
    const std::string& postfixText) {
  return Compile(postfixText, fixed_rounding::HasFusedMultiplyAdd());
}

std::unique_ptr<EquationEvaluator::Program> EquationEvaluator::Program::Compile(
    const std::string& postfixText, bool fusedMultiplyAdd) {
  auto program = std::make_unique<Program>();
  Program& p = *program;
  p.postfix = postfixText;
  p.slotOfLetter.fill(-1);
  p.kernel = &Zero;

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
  p.wholeNumbersFit = p.fixedLength + kWholeNumberText * p.entryLetters.size() < kSubstitutionBuffer;

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

    Instruction ins{kConstant, 0, 0.0};
    const int op = token.size() == 1 ? et::FindOperator(token[0]) : -1;
    if (op >= 0) {
      if (depth < 2 && !dynamicDepth) {
        p.alwaysFails = true;  // the operator will find fewer than two values
      }
      --depth;
      // Fuse with a constant or variable right operand pushed just before.
      Instruction* previous = p.code.empty() ? nullptr : &p.code.back();
      if (previous != nullptr && depth >= 1 && !dynamicDepth &&
          (previous->op == kConstant || previous->op == kSlot)) {
        previous->op =
            static_cast<std::uint8_t>((previous->op == kConstant ? kBinaryConstant : kBinarySlot) + op);
        continue;
      }
      ins.op = static_cast<std::uint8_t>(kBinary + op);
    } else if (!HasLetter(token)) {
      if (!et::ParseDecimal(token.data(), token.size(), ins.constant)) {
        p.alwaysFails = true;  // never a number, whatever the variables hold
      }
      ++depth;
    } else if (token.size() == 1) {
      ins.op = kSlot;
      ins.index = static_cast<std::uint16_t>(p.slotOfLetter[static_cast<unsigned char>(token[0])]);
      ++depth;
    } else if (token.size() == 2 && token[0] == '-' && et::IsLetter(token[1])) {
      ins.op = kNegatedSlot;
      ins.index = static_cast<std::uint16_t>(p.slotOfLetter[static_cast<unsigned char>(token[1])]);
      ++depth;
    } else {
      // Letters mixed with digits or with other letters: the values' texts
      // join the operand text, so it is read from the text at run time.
      ins.op = kText;
      ins.index = static_cast<std::uint16_t>(p.texts.size());
      p.texts.push_back(token);
      dynamicDepth = true;
    }
    p.code.push_back(ins);
  }
  if (!p.alwaysFails && !p.code.empty() && p.code[0].op < kText) {
    p.chain = true;
    for (std::size_t i = 1; i < p.code.size(); ++i) p.chain &= p.code[i].op >= kBinaryConstant;
  }
  if (p.alwaysFails || p.code.empty()) {
    p.kernel = &Zero;
  } else if (Kernel fused = p.wholeNumbersFit ? SelectFusedKernel(p, fusedMultiplyAdd) : nullptr) {
    p.kernel = fused;
  } else {
    // Integers (raw packet numbers) are their own six-decimal values; when
    // their texts are sure to fit, a chain runs on the values as given.
    p.kernel = p.chain && p.smallValuesFit ? &IntegerChain : &General;
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

EquationResult EquationEvaluator::Program::RunText(const std::string& token, const double* slotValues,
                                                   double* stack, std::size_t& depth) const {
  char text[kSubstitutionBuffer];
  std::size_t used = 0;
  for (std::size_t i = 0; i < token.size(); ++i) {
    const char c = token[i];
    if (et::IsLetter(c) || (c == '-' && i == 0 && i + 1 < token.size() && et::IsLetter(token[i + 1]))) {
      const bool negated = c == '-';
      const char letter = negated ? token[++i] : c;
      const double v = slotValues[slotOfLetter[static_cast<unsigned char>(letter)]];
      const std::size_t length = fixed_rounding::Format(negated ? -v : v, text + used, sizeof text - used);
      if (length == 0) return EquationResult::kTooLong;
      used += length;
    } else {
      if (used + 1 >= sizeof text) return EquationResult::kTooLong;
      text[used++] = c;
    }
  }
  return et::Scan(text, text + used, stack, kStackCapacity, depth);
}

namespace {

// One operator; false for division or remainder by zero. Kept inline so that
// the evaluation loop compiles to one jump table per operator position.
[[gnu::always_inline]] inline bool ApplyInline(unsigned op, double a, double b, double& out) {
  switch (op) {
    case et::kPower:
      out = std::pow(a, b);
      return true;
    case et::kMultiply:
      out = a * b;
      return true;
    case et::kDivide:
      if (b == 0.0) return false;
      out = a / b;
      return true;
    case et::kRemainder:
      return et::Remainder(a, b, out);
    case et::kSubtract:
      out = a - b;
      return true;
    case et::kAdd:
      out = a + b;
      return true;
    case et::kXor:
      out = static_cast<double>(et::Truncate32(a) ^ et::Truncate32(b));
      return true;
    case et::kAnd:
      out = static_cast<double>(et::Truncate32(a) & et::Truncate32(b));
      return true;
    case et::kOr:
      out = static_cast<double>(et::Truncate32(a) | et::Truncate32(b));
      return true;
    case et::kLess:
      out = a < b ? 1.0 : 0.0;
      return true;
    default:
      out = a > b ? 1.0 : 0.0;
      return true;
  }
}

}  // namespace

[[gnu::always_inline]] inline double EquationEvaluator::Program::RunChain(const double* rounded) const {
  const Instruction* ins = code.data();
  const Instruction* const end = ins + code.size();
  double acc = ins->op == kConstant ? ins->constant : rounded[ins->index];
  if (ins->op == kNegatedSlot) acc = -acc;
  for (++ins; ins < end; ++ins) {
    const double b = ins->op < kBinarySlot ? ins->constant : rounded[ins->index];
    if (!ApplyInline(ins->op & 15u, acc, b, acc)) return 0.0;
  }
  return acc;
}

double EquationEvaluator::Program::RunStack(const double* rounded, const double* slotValues) const {
  // The top value lives in a register; the values below it are at
  // below[1] .. below[depth - 1] (below[0] takes the meaningless "top" pushed
  // onto an empty stack). The substituted text fits 199 characters and every
  // value pushed takes at least one of them, so the stack cannot overflow.
  double below[kStackCapacity + 1];
  double top = 0.0;
  std::size_t depth = 0;
  for (const Instruction& ins : code) {
    const std::uint8_t op = ins.op;
    if (op >= kBinaryConstant) {
      const double b = op < kBinarySlot ? ins.constant : rounded[ins.index];
      if (!ApplyInline(op & 15u, top, b, top)) return 0.0;
    } else if (op >= kBinary) {
      if (depth < 2) return 0.0;
      --depth;
      if (!ApplyInline(op - kBinary, below[depth], top, top)) return 0.0;
    } else if (op != kText) {
      below[depth++] = top;
      top = op == kConstant ? ins.constant : rounded[ins.index];
      if (op == kNegatedSlot) top = -top;
    } else {
      below[depth] = top;
      if (RunText(texts[ins.index], slotValues, below + 1, depth) != EquationResult::kOk) return 0.0;
      top = below[depth];
    }
  }
  // One value is the result; with values left over the top one is.
  return depth == 0 ? 0.0 : top;
}

double EquationEvaluator::Program::RunIntegerChain(const double* slotValues) const {
  const std::size_t slots = slotLetters.size();
  std::size_t s = 0;
  while (s < slots && IsShortInteger(slotValues[s])) ++s;
  return s == slots ? RunChain(slotValues) : RunGeneral(slotValues);
}

const double* EquationEvaluator::Program::RoundValues(const double* slotValues, double* rounded) const {
  bool integers = true;
  for (std::size_t s = 0; s < slotLetters.size(); ++s) {
    const double v = slotValues[s];
    if (IsShortInteger(v)) {
      rounded[s] = v;
    } else {
      integers = false;
      rounded[s] = fixed_rounding::Round6(v);
    }
  }
  if (!(integers && smallValuesFit) && !SubstitutedTextFits(slotValues)) return nullptr;
  return rounded;
}

double EquationEvaluator::Program::RunGeneral(const double* slotValues) const {
  // The value each variable's text reads back as. Integers below 2^52 (raw
  // packet numbers) are their own value and have short texts.
  double rounded[kMaxVariables];
  if (RoundValues(slotValues, rounded) == nullptr) return 0.0;
  return chain ? RunChain(rounded) : RunStack(rounded, slotValues);
}
