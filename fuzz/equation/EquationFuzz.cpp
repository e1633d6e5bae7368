// Fuzzes SetEquation and evaluation: the first bytes are variable values, the
// rest is the equation text. Checks that nothing crashes or reads out of
// bounds, that a refused equation keeps the previous one, and that Evaluate,
// EvaluateSlots and the substituted-text evaluation of the tests all agree.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <map>

#include "equation/EquationEvaluator.h"
#include "tests/equation/LiteralEvaluator.h"

namespace {

std::uint64_t ResultBits(double v) {
  return std::isnan(v) ? 0x7ff8000000000000ull : std::bit_cast<std::uint64_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // Values: the first byte says how many 8-byte values follow (0 to 3).
  const std::size_t count = data[0] % 4;
  double values[3] = {0, 0, 0};
  std::size_t used = 1;
  for (std::size_t i = 0; i < count && used + 8 <= size; ++i, used += 8)
    std::memcpy(&values[i], data + used, 8);
  const std::string text(reinterpret_cast<const char*>(data + used), size - used);

  EquationEvaluator e;
  e.SetEquation("X+1", 3);
  const std::string before = e.PostfixText();
  const int accepted = e.SetEquation(text.c_str(), text.size());
  if (!accepted && e.PostfixText() != before) std::abort();

  // Letters that get no value are 0.0 everywhere.
  static const char kLetters[] = "XYABxyab";
  double slots[EquationEvaluator::kMaxVariables] = {};
  std::map<char, double> byLetter;
  for (std::size_t i = 0; i < sizeof kLetters - 1; ++i) {
    const double v = values[i % 3];
    byLetter[kLetters[i]] = v;
    e.SetVariable(kLetters[i], v);
    const int slot = e.SlotOf(kLetters[i]);
    if (slot >= 0) slots[slot] = v;
  }
  const double viaVariables = e.Evaluate();
  if (ResultBits(viaVariables) != ResultBits(e.EvaluateSlots(slots))) std::abort();
  if (ResultBits(viaVariables) != ResultBits(literal::Evaluate(e.PostfixText(), byLetter))) std::abort();

  double result = 0.0;
  const EquationResult code = EquationEvaluator::EvaluatePostfix(text.c_str(), result);
  if (code != EquationResult::kOk && code != EquationResult::kExtraValues && result != 0.0) std::abort();
  char buffer[16];
  e.GetEquation(buffer, sizeof buffer);
  return 0;
}
