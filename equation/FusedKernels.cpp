// Kernels for equations that are a chain of the four arithmetic operators:
// one routine per sequence of operators (up to kMaxFusedSteps of them), so
// that X*0.5+10 runs as two floating-point operations after the value check,
// with no look-up of what comes next.
//
// Every kernel computes exactly what the token program computes: the same
// operations on the same operands in the same order, each rounded once.
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "equation/EquationProgram.h"
#include "equation/EquationText.h"
#include "equation/FixedRounding.h"

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

// The chain for values that are not all whole numbers, where the quick
// rounding leaves one undecided or a text may be too long: every value
// enters by the exact rounding, after the length check.
template <int... Ops>
[[gnu::noinline]] double FusedChainSlow(const Program* p, const double* slotValues) {
  double rounded[EquationEvaluator::kMaxVariables];
  bool small = p->smallValuesFit;
  for (std::size_t s = 0; s < p->slotLetters.size(); ++s) {
    const double v = slotValues[s];
    rounded[s] = fixed_rounding::Round6(v);
    small &= std::fabs(v) < Program::kSmallValueLimit;
  }
  if (!small && !p->SubstitutedTextFits(slotValues)) return 0.0;
  double acc = Value(p->fusedFirst, rounded);
  if (!Steps<Ops...>(acc, *p, rounded, std::make_index_sequence<sizeof...(Ops)>{})) return 0.0;
  return acc;
}

// The chain for values that are not all whole numbers: they enter rounded.
// Every value the quick rounding decides is below 2^51 / 10^6 in magnitude,
// so the texts fit whenever smallValuesFit.
template <int... Ops>
double FusedChainRounded(const Program* p, const double* slotValues) {
  double rounded[EquationEvaluator::kMaxVariables];
  bool quick = p->smallValuesFit;
  for (std::size_t s = 0; s < p->slotLetters.size(); ++s)
    quick &= fixed_rounding::Round6Quick(slotValues[s], rounded[s]);
  if (!quick) return FusedChainSlow<Ops...>(p, slotValues);
  double acc = Value(p->fusedFirst, rounded);
  if (!Steps<Ops...>(acc, *p, rounded, std::make_index_sequence<sizeof...(Ops)>{})) return 0.0;
  return acc;
}

template <int... Ops>
double FusedChain(const Program* p, const double* slotValues) {
  // Whole numbers (raw packet numbers) are their own six-decimal values and
  // their texts fit (the kernel is chosen only when they do).
  const std::size_t slots = p->slotLetters.size();
  for (std::size_t s = 0; s < slots; ++s) {
    if (!IsWholeNumber(slotValues[s])) return p->roundedKernel(p, slotValues);
  }
  double acc = Value(p->fusedFirst, slotValues);
  if (!Steps<Ops...>(acc, *p, slotValues, std::make_index_sequence<sizeof...(Ops)>{})) return 0.0;
  return acc;
}

#if defined(__x86_64__)
// FusedChain and FusedChainRounded in one routine, compiled for processors
// with fused multiply-add (and the three-operand instruction forms): the
// rounding takes no division and is cheap enough to run on every value. It
// gives a whole number below 2^50 / 10^6 back unchanged (its scaled value is
// an exact integer, and that integer divided by 10^6 is the number), so no
// separate test for whole numbers is needed; larger ones take the slow route.
// Chosen only for programs whose texts fit whenever the values are below
// kSmallValueLimit (smallValuesFit).
template <int... Ops>
[[gnu::target("avx,fma")]] double FusedChainFma(const Program* p, const double* slotValues) {
  const std::size_t slots = p->slotLetters.size();
  double rounded[EquationEvaluator::kMaxVariables];
  bool quick = true;
  for (std::size_t s = 0; s < slots; ++s)
    quick &= fixed_rounding::Round6FusedQuick(slotValues[s], rounded[s]);
  if (!quick) return FusedChainSlow<Ops...>(p, slotValues);
  double acc = Value(p->fusedFirst, rounded);
  if (!Steps<Ops...>(acc, *p, rounded, std::make_index_sequence<sizeof...(Ops)>{})) return 0.0;
  return acc;
}
#endif

// acc = acc op b for a constant operand b; division by a constant 0 never
// reaches a kernel (the equation always fails). With Split, a division by a
// constant whose DivisorSplit allows it runs as a multiplication.
template <int Op, bool Checked, bool Split>
[[gnu::always_inline]] inline bool ConstantStep(double& acc, double b,
                                                [[maybe_unused]] const Program::DivisorSplit& split) {
  if constexpr (Op == et::kDivide && !Checked) {
    if constexpr (Split) {
      // Compiled only into routines for processors with fused multiply-add.
      if (std::fabs(acc) >= split.minDividend) {
        acc = std::fma(acc, split.hi, acc * split.lo);
        return true;
      }
    }
    acc = acc / b;
    return true;
  } else {
    return Arithmetic<Op>(acc, b);
  }
}

// A chain on one variable x with constant operands: x op c1 op c2 ..., or,
// with ConstantFirst, c0 op x op c1 ... (constants[step] is step's constant).
template <bool ConstantFirst, bool Split, int... Ops, std::size_t... I>
[[gnu::always_inline]] inline bool ConstantSteps(double& acc, double x, const Program* p,
                                                 std::index_sequence<I...>) {
  return (ConstantStep < Ops, ConstantFirst && I == 0,
          Split > (acc, ConstantFirst && I == 0 ? x : p->fusedConstants[I], p->fusedDivisors[I]) && ...);
}

template <bool ConstantFirst, bool Split, int... Ops>
[[gnu::always_inline]] inline double RunOneVariable(const Program* p, double x) {
  double acc = ConstantFirst ? p->fusedConstants[0] : x;
  if (!ConstantSteps<ConstantFirst, Split, Ops...>(acc, x, p, std::make_index_sequence<sizeof...(Ops)>{}))
    return 0.0;
  return acc;
}

// The chain on one variable for a value that the quick rounding leaves
// undecided or whose text may be too long.
template <bool ConstantFirst, int... Ops>
[[gnu::noinline]] double OneVariableChainSlow(const Program* p, const double* slotValues) {
  const double v = slotValues[0];
  const bool small = p->smallValuesFit && std::fabs(v) < Program::kSmallValueLimit;
  if (!small && !p->SubstitutedTextFits(slotValues)) return 0.0;
  return RunOneVariable<ConstantFirst, false, Ops...>(p, fixed_rounding::Round6(v));
}

// The chain on one variable for a value that is not a whole number; a value
// the quick rounding decides has a short text (see FusedChainRounded).
template <bool ConstantFirst, int... Ops>
double OneVariableChainRounded(const Program* p, const double* slotValues) {
  double x;
  if (!p->smallValuesFit || !fixed_rounding::Round6Quick(slotValues[0], x))
    return OneVariableChainSlow<ConstantFirst, Ops...>(p, slotValues);
  return RunOneVariable<ConstantFirst, false, Ops...>(p, x);
}

template <bool ConstantFirst, int... Ops>
double OneVariableChain(const Program* p, const double* slotValues) {
  const double x = slotValues[0];
  if (!IsWholeNumber(x)) return p->roundedKernel(p, slotValues);
  return RunOneVariable<ConstantFirst, false, Ops...>(p, x);
}

#if defined(__x86_64__)
// OneVariableChain and OneVariableChainRounded in one routine, for processors
// with fused multiply-add and programs with smallValuesFit (see
// FusedChainFma: whole numbers take the same rounding).
template <bool ConstantFirst, int... Ops>
[[gnu::target("avx,fma")]] double OneVariableChainFma(const Program* p, const double* slotValues) {
  double rounded;
  if (!fixed_rounding::Round6FusedQuick(slotValues[0], rounded))
    return OneVariableChainSlow<ConstantFirst, Ops...>(p, slotValues);
  return RunOneVariable<ConstantFirst, true, Ops...>(p, rounded);
}
#endif

// The routes of every fused kernel: for whole numbers (the kernel, which
// hands other values to the program's roundedKernel), for other values, and
// both in one for processors with fused multiply-add.
enum Route { kWhole, kDividing, kFused, kRoutes };

template <Route R, bool ConstantFirst, int... Ops>
constexpr Kernel OneVariableRoute() {
  if constexpr (R == kWhole) {
    return &OneVariableChain<ConstantFirst, Ops...>;
  } else if constexpr (R == kDividing) {
    return &OneVariableChainRounded<ConstantFirst, Ops...>;
  } else {
#if defined(__x86_64__)
    return &OneVariableChainFma<ConstantFirst, Ops...>;
#else
    return &OneVariableChain<ConstantFirst, Ops...>;
#endif
  }
}

template <Route R, bool ConstantFirst, std::size_t Index, std::size_t... Step>
constexpr Kernel OneVariableKernelOf(std::index_sequence<Step...>) {
  return OneVariableRoute<R, ConstantFirst, kArithmetic[(Index >> (2 * Step)) & 3u]...>();
}

template <bool ConstantFirst, std::size_t Steps, std::size_t... Index>
constexpr std::array<std::array<Kernel, sizeof...(Index)>, kRoutes> MakeOneVariableTable(
    std::index_sequence<Index...>) {
  return {{{OneVariableKernelOf<kWhole, ConstantFirst, Index>(std::make_index_sequence<Steps>{})...},
           {OneVariableKernelOf<kDividing, ConstantFirst, Index>(std::make_index_sequence<Steps>{})...},
           {OneVariableKernelOf<kFused, ConstantFirst, Index>(std::make_index_sequence<Steps>{})...}}};
}

// Chains on one variable of up to three steps, by whether a constant comes
// first, then by route, then by step count.
constexpr std::size_t kMaxOneVariableSteps = 3;
constexpr std::array<std::array<Kernel, 4>, kRoutes> kOneVariable1[2] = {
    MakeOneVariableTable<false, 1>(std::make_index_sequence<4>{}),
    MakeOneVariableTable<true, 1>(std::make_index_sequence<4>{})};
constexpr std::array<std::array<Kernel, 16>, kRoutes> kOneVariable2[2] = {
    MakeOneVariableTable<false, 2>(std::make_index_sequence<16>{}),
    MakeOneVariableTable<true, 2>(std::make_index_sequence<16>{})};
constexpr std::array<std::array<Kernel, 64>, kRoutes> kOneVariable3[2] = {
    MakeOneVariableTable<false, 3>(std::make_index_sequence<64>{}),
    MakeOneVariableTable<true, 3>(std::make_index_sequence<64>{})};

// The route of the kernel itself.
Route KernelRoute(const Program& p, bool fusedMultiplyAdd) {
  return fusedMultiplyAdd && p.smallValuesFit ? kFused : kWhole;
}

double Zero(const Program*, const double*) {
  return 0.0;
}

// The multiplication that gives a / c for every dividend a with |a| >=
// minDividend, or none (minDividend NaN). With c = B * 2^s, B odd: hi is 1/c
// rounded toward zero and lo the rest (same sign), so fma(a, hi, a * lo) is
// within 2^-103 of a / c, relatively, before its one rounding. The exact
// quotient is never that close to a half-way point h between two doubles
// when both are normal: with u its last place, (a / c - h) * 2 * B / u is an
// odd, so nonzero, integer, so the distance is at least u / (2 * B), which is
// more than 2^-103 of the quotient while B < 2^49. minDividend keeps the
// quotient and a * lo clear of the subnormal range. Assumes the default
// rounding mode, which the program never changes.
Program::DivisorSplit SplitDivisor(double c) {
  Program::DivisorSplit split;
  if (!std::isfinite(c) || c == 0.0) return split;
  int exponent = 0;
  const double significand = std::frexp(std::fabs(c), &exponent);  // in [0.5, 1)
  double odd = std::ldexp(significand, 53);                        // an integer below 2^53
  while (std::fmod(odd, 2.0) == 0.0) odd /= 2.0;
  if (odd >= 0x1p49) return split;
  double hi = 1.0 / c;
  double rest = std::fma(-c, hi, 1.0);  // 1 - c * hi = c * (1/c - hi)
  if (rest < 0.0) {
    // c * hi > 1: hi was rounded away from zero; take the double below it in
    // magnitude.
    hi = std::nextafter(hi, 0.0);
    rest = std::fma(-c, hi, 1.0);
  }
  split.hi = hi;
  split.lo = rest / c;
  split.minDividend = std::ldexp(std::fabs(c), -900);
  return split;
}

// The kernel of a chain on one variable whose other operands are constants,
// or null when the chain has another shape.
Kernel SelectOneVariableKernel(Program& p, std::size_t index, bool fusedMultiplyAdd) {
  const std::size_t steps = p.fusedStepCount;
  if (p.slotLetters.size() != 1 || steps == 0 || steps > kMaxOneVariableSteps) return nullptr;
  const bool constantFirst = p.fusedFirst.kind == FusedOperand::kConstant;
  if (constantFirst) {
    p.fusedConstants[0] = p.fusedFirst.constant;
  } else if (p.fusedFirst.kind != FusedOperand::kVariable) {
    return nullptr;
  }
  for (std::size_t i = 0; i < steps; ++i) {
    const FusedStep& step = p.fusedSteps[i];
    if (step.term) return nullptr;
    if (constantFirst && i == 0) {
      if (step.operand.kind != FusedOperand::kVariable) return nullptr;
      continue;
    }
    if (step.operand.kind != FusedOperand::kConstant) return nullptr;
    p.fusedConstants[i] = step.operand.constant;
    const int op = kArithmetic[(index >> (2 * i)) & 3u];
    if (op == et::kDivide && step.operand.constant == 0.0) {
      p.roundedKernel = &Zero;
      return &Zero;
    }
    if (op == et::kDivide) p.fusedDivisors[i] = SplitDivisor(step.operand.constant);
  }
  const std::size_t table = constantFirst ? 1 : 0;
  const Route route = KernelRoute(p, fusedMultiplyAdd);
  switch (steps) {
    case 1:
      p.roundedKernel = kOneVariable1[table][kDividing][index];
      return kOneVariable1[table][route][index];
    case 2:
      p.roundedKernel = kOneVariable2[table][kDividing][index];
      return kOneVariable2[table][route][index];
    default:
      p.roundedKernel = kOneVariable3[table][kDividing][index];
      return kOneVariable3[table][route][index];
  }
}

// Kernel tables: entry n of table k runs k steps whose operators are the
// two-bit numbers of n, the first step in the lowest bits.
template <Route R, int... Ops>
constexpr Kernel ChainRoute() {
  if constexpr (R == kWhole) {
    return &FusedChain<Ops...>;
  } else if constexpr (R == kDividing) {
    return &FusedChainRounded<Ops...>;
  } else {
#if defined(__x86_64__)
    return &FusedChainFma<Ops...>;
#else
    return &FusedChain<Ops...>;
#endif
  }
}

template <Route R, std::size_t Index, std::size_t... Step>
constexpr Kernel KernelOf(std::index_sequence<Step...>) {
  return ChainRoute<R, kArithmetic[(Index >> (2 * Step)) & 3u]...>();
}

template <std::size_t Steps, std::size_t... Index>
constexpr std::array<std::array<Kernel, sizeof...(Index)>, kRoutes> MakeTable(std::index_sequence<Index...>) {
  return {{{KernelOf<kWhole, Index>(std::make_index_sequence<Steps>{})...},
           {KernelOf<kDividing, Index>(std::make_index_sequence<Steps>{})...},
           {KernelOf<kFused, Index>(std::make_index_sequence<Steps>{})...}}};
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

Kernel SelectFusedKernel(Program& p, bool fusedMultiplyAdd) {
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
  if (Kernel oneVariable = SelectOneVariableKernel(p, index, fusedMultiplyAdd)) return oneVariable;
  const Route route = KernelRoute(p, fusedMultiplyAdd);
  switch (steps) {
    case 0:
      p.roundedKernel = kTable0[kDividing][index];
      return kTable0[route][index];
    case 1:
      p.roundedKernel = kTable1[kDividing][index];
      return kTable1[route][index];
    case 2:
      p.roundedKernel = kTable2[kDividing][index];
      return kTable2[route][index];
    case 3:
      p.roundedKernel = kTable3[kDividing][index];
      return kTable3[route][index];
    default:
      p.roundedKernel = kTable4[kDividing][index];
      return kTable4[route][index];
  }
}
