// Kernels for equations that are a chain of the four arithmetic operators:
// one routine per sequence of operators (up to kMaxFusedSteps of them), so
// that X*0.5+10 runs as two floating-point operations after the value check,
// with no look-up of what comes next.
//
// Every kernel computes exactly what the token program computes: the same
// operations on the same operands in the same order, each rounded once.
#include <array>
#include <cstddef>
#include <utility>

#include "equation/EquationProgram.h"
#include "equation/EquationText.h"

namespace et = equation_text;

namespace {

using Program = EquationEvaluator::Program;
using Kernel = EquationEvaluator::Kernel;
using FusedOperand = Program::FusedOperand;
using FusedStep = Program::FusedStep;

// The operators a fused chain may hold, by their two-bit number in a kernel
// table index.
constexpr int kArithmetic[4] = {et::kMultiply, et::kDivide, et::kSubtract, et::kAdd};

int ArithmeticNumber(int op) {
  for (int i = 0; i < 4; ++i) {
    if (kArithmetic[i] == op) return i;
  }
  return -1;
}

[[gnu::always_inline]] inline double Value(const FusedOperand& operand, const double* rounded) {
  switch (operand.kind) {
    case FusedOperand::kConstant:
      return operand.constant;
    case FusedOperand::kVariable:
      return rounded[operand.slot];
    default:
      return -rounded[operand.slot];
  }
}

// acc = acc op b; false for a division by zero.
template <int Op>
[[gnu::always_inline]] inline bool Arithmetic(double& acc, double b) {
  if constexpr (Op == et::kMultiply) {
    acc = acc * b;
  } else if constexpr (Op == et::kDivide) {
    if (b == 0.0) return false;
    acc = acc / b;
  } else if constexpr (Op == et::kSubtract) {
    acc = acc - b;
  } else {
    acc = acc + b;
  }
  return true;
}

[[gnu::always_inline]] inline bool Operand(const FusedStep& step, const double* rounded, double& out) {
  out = Value(step.operand, rounded);
  if (!step.term) return true;
  const double right = Value(step.right, rounded);
  switch (step.termOp) {
    case et::kMultiply:
      return Arithmetic<et::kMultiply>(out, right);
    case et::kDivide:
      return Arithmetic<et::kDivide>(out, right);
    case et::kSubtract:
      return Arithmetic<et::kSubtract>(out, right);
    default:
      return Arithmetic<et::kAdd>(out, right);
  }
}

template <int Op>
[[gnu::always_inline]] inline bool Step(double& acc, const FusedStep& step, const double* rounded) {
  double b;
  return Operand(step, rounded, b) && Arithmetic<Op>(acc, b);
}

template <int... Ops, std::size_t... I>
[[gnu::always_inline]] inline bool Steps([[maybe_unused]] double& acc, [[maybe_unused]] const Program& p,
                                         [[maybe_unused]] const double* rounded, std::index_sequence<I...>) {
  return (Step<Ops>(acc, p.fusedSteps[I], rounded) && ...);
}

template <int... Ops>
double FusedChain(const Program* p, const double* slotValues) {
  // Integers are their own six-decimal values and their texts fit (the
  // kernel is chosen only when they do); other values are rounded first.
  const std::size_t slots = p->slotLetters.size();
  const double* rounded = slotValues;
  double roundedValues[EquationEvaluator::kMaxVariables];
  for (std::size_t s = 0; s < slots; ++s) {
    if (!IsShortInteger(slotValues[s])) {
      rounded = p->RoundValues(slotValues, roundedValues);
      if (rounded == nullptr) return 0.0;
      break;
    }
  }
  double acc = Value(p->fusedFirst, rounded);
  if (!Steps<Ops...>(acc, *p, rounded, std::make_index_sequence<sizeof...(Ops)>{})) return 0.0;
  return acc;
}

// Kernel tables: entry n of table k runs k steps whose operators are the
// two-bit numbers of n, the first step in the lowest bits.
template <std::size_t Index, std::size_t... Step>
constexpr Kernel KernelOf(std::index_sequence<Step...>) {
  return &FusedChain<kArithmetic[(Index >> (2 * Step)) & 3u]...>;
}

template <std::size_t Steps, std::size_t... Index>
constexpr std::array<Kernel, sizeof...(Index)> MakeTable(std::index_sequence<Index...>) {
  return {KernelOf<Index>(std::make_index_sequence<Steps>{})...};
}

constexpr auto kTable0 = MakeTable<0>(std::make_index_sequence<1>{});
constexpr auto kTable1 = MakeTable<1>(std::make_index_sequence<4>{});
constexpr auto kTable2 = MakeTable<2>(std::make_index_sequence<16>{});
constexpr auto kTable3 = MakeTable<3>(std::make_index_sequence<64>{});
constexpr auto kTable4 = MakeTable<4>(std::make_index_sequence<256>{});
static_assert(Program::kMaxFusedSteps == 4);

bool ToOperand(const Program::Instruction& ins, FusedOperand& operand) {
  switch (ins.op) {
    case Program::kConstant:
      operand = {ins.constant, FusedOperand::kConstant, 0};
      return true;
    case Program::kSlot:
      operand = {0.0, FusedOperand::kVariable, static_cast<std::uint8_t>(ins.index)};
      return true;
    case Program::kNegatedSlot:
      operand = {0.0, FusedOperand::kNegated, static_cast<std::uint8_t>(ins.index)};
      return true;
    default:
      return false;
  }
}

bool IsFusedBinary(const Program::Instruction& ins) {
  return ins.op >= Program::kBinaryConstant;
}

bool IsStackBinary(const Program::Instruction& ins) {
  return ins.op >= Program::kBinary && ins.op < Program::kBinaryConstant;
}

// The operand of a binary instruction fused with its right operand.
FusedOperand FusedRight(const Program::Instruction& ins) {
  if (ins.op < Program::kBinarySlot) return {ins.constant, FusedOperand::kConstant, 0};
  return {0.0, FusedOperand::kVariable, static_cast<std::uint8_t>(ins.index)};
}

}  // namespace

Kernel SelectFusedKernel(Program& p) {
  const std::vector<Program::Instruction>& code = p.code;
  if (code.empty() || !ToOperand(code[0], p.fusedFirst)) return nullptr;
  std::size_t steps = 0;
  std::size_t index = 0;
  for (std::size_t i = 1; i < code.size();) {
    if (steps == Program::kMaxFusedSteps) return nullptr;
    FusedStep step;
    int op = -1;
    if (IsFusedBinary(code[i])) {
      // acc op constant, acc op variable
      op = code[i].op & 15;
      step.operand = FusedRight(code[i]);
      i += 1;
    } else if (ToOperand(code[i], step.operand) && i + 1 < code.size() && IsStackBinary(code[i + 1])) {
      // acc op -variable
      op = code[i + 1].op - Program::kBinary;
      i += 2;
    } else if (ToOperand(code[i], step.operand) && i + 2 < code.size() && IsFusedBinary(code[i + 1]) &&
               IsStackBinary(code[i + 2])) {
      // acc op (value op value)
      step.term = true;
      step.termOp = code[i + 1].op & 15;
      step.right = FusedRight(code[i + 1]);
      if (ArithmeticNumber(step.termOp) < 0) return nullptr;
      op = code[i + 2].op - Program::kBinary;
      i += 3;
    } else {
      return nullptr;
    }
    const int number = ArithmeticNumber(op);
    if (number < 0) return nullptr;
    index |= static_cast<std::size_t>(number) << (2 * steps);
    p.fusedSteps[steps++] = step;
  }
  p.fusedStepCount = steps;
  switch (steps) {
    case 0:
      return kTable0[index];
    case 1:
      return kTable1[index];
    case 2:
      return kTable2[index];
    case 3:
      return kTable3[index];
    default:
      return kTable4[index];
  }
}
