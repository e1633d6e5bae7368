// The compiled evaluator against the long way round (LiteralEvaluator): random
// equations, well formed and not, with values of every kind, compared bit for
// bit.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <string>

#include "equation/EquationEvaluator.h"
#include "equation/EquationProgram.h"
#include "equation/FixedRounding.h"
#include "tests/equation/LiteralEvaluator.h"

namespace {

using Rng = std::mt19937_64;

std::uint64_t Bits(double v) {
  return std::bit_cast<std::uint64_t>(v);
}

// Bit pattern of a result. Which of two NaN operands an addition passes on
// depends on the order the compiler gives the hardware, so every NaN result
// compares as one pattern; all other results compare exactly.
std::uint64_t ResultBits(double v) {
  return std::isnan(v) ? Bits(std::numeric_limits<double>::quiet_NaN()) : Bits(v);
}

int Pick(Rng& rng, int n) {
  return static_cast<int>(rng() % static_cast<std::uint64_t>(n));
}

// A value of one of many kinds: the ones that stress the six-decimal rounding
// (ties, near-ties, magnitudes around the exact limits) and the exceptional ones.
double RandomValue(Rng& rng) {
  const double sign = Pick(rng, 2) ? -1.0 : 1.0;
  switch (Pick(rng, 14)) {
    case 0:
      return static_cast<double>(Pick(rng, 601) - 300);
    case 1:
      return sign * static_cast<double>(rng() >> Pick(rng, 64));  // integers of any size
    case 2:
      return sign * std::ldexp(static_cast<double>(rng() >> 11), -Pick(rng, 90));  // binary fractions
    case 3:
      return sign * static_cast<double>(Pick(rng, 2000000)) / std::pow(10.0, Pick(rng, 9));
    case 4:  // exact ties at the seventh decimal
      return sign * static_cast<double>(Pick(rng, 1 << 20)) / 128.0;
    case 5: {  // one step either side of a tie
      const double tie = (static_cast<double>(Pick(rng, 1000000000)) + 0.5) / 1e6;
      return sign * (Pick(rng, 2) ? std::nextafter(tie, 0.0) : std::nextafter(tie, 1e30));
    }
    case 6:
      return sign * std::pow(10.0, Pick(rng, 400) - 200);
    case 7:
      return sign * (4.0e-7 + 2e-7 * static_cast<double>(Pick(rng, 1000)) / 1000.0);
    case 8:  // around the exact-path limit, the 2^52 boundary and 1e16
      return sign * std::ldexp(1.0 + static_cast<double>(Pick(rng, 1000)) / 997.0, 30 + Pick(rng, 26));
    case 9:
      return Pick(rng, 2) ? std::copysign(std::numeric_limits<double>::quiet_NaN(), sign)
                          : sign * std::numeric_limits<double>::infinity();
    case 10:
      return sign * 0.0;
    case 11: {
      const double v = std::bit_cast<double>(rng());
      return v;
    }
    case 12:
      return sign * (static_cast<double>(Pick(rng, 100000)) + static_cast<double>(Pick(rng, 1000000)) * 1e-6);
    default:
      return std::numeric_limits<double>::denorm_min() * static_cast<double>(Pick(rng, 100));
  }
}

const char kLetters[] = "XYAB";

std::string RandomNumber(Rng& rng) {
  static const char* const kNumbers[] = {"0",   "1",   "2",   "3",        "10",    "256",
                                         "0.5", ".5",  "12.", "0.0195",   "3.25",  "100",
                                         "7",   "1.8", "32",  "0.000001", "65535", "."};
  return kNumbers[Pick(rng, static_cast<int>(std::size(kNumbers)))];
}

std::string RandomTerm(Rng& rng, int depth);

std::string RandomExpression(Rng& rng, int depth) {
  static const char kOps[] = "#*/%-+^&|<>";
  std::string s = RandomTerm(rng, depth);
  const int more = Pick(rng, 4);
  for (int i = 0; i < more; ++i) {
    if (Pick(rng, 4) == 0) s += ' ';
    s += kOps[Pick(rng, 11)];
    s += RandomTerm(rng, depth);
  }
  return s;
}

std::string RandomTerm(Rng& rng, int depth) {
  switch (Pick(rng, depth > 2 ? 3 : 8)) {
    case 0:
    case 1:
      return std::string(1, kLetters[Pick(rng, 4)]);
    case 2:
      return RandomNumber(rng);
    case 3:
      return "(" + RandomExpression(rng, depth + 1) + ")";
    case 4:
      return "-" + RandomTerm(rng, depth + 1);
    case 5:  // operands that join several texts: 2X, XY, X.5, -X2
      return RandomNumber(rng) + kLetters[Pick(rng, 4)] + (Pick(rng, 2) ? RandomNumber(rng) : "");
    case 6:
      return std::string(1, kLetters[Pick(rng, 4)]) + kLetters[Pick(rng, 4)];
    default:
      return " " + std::string(1, kLetters[Pick(rng, 4)]) + " ";
  }
}

std::string RandomSoup(Rng& rng) {
  static const char kChars[] = "XYAB0123456789..  +-*/%#^&|<>()";
  std::string s;
  const int length = 1 + Pick(rng, 20);
  for (int i = 0; i < length; ++i) s += kChars[Pick(rng, static_cast<int>(sizeof kChars) - 1)];
  return s;
}

TEST(EquationAgreement, RoundingMatchesPrintfAndStrtod) {
  Rng rng(7);
  char text[400];
  for (int i = 0; i < 400000; ++i) {
    const double v = RandomValue(rng);
    const int length = std::snprintf(text, sizeof text, "%f", v);
    const double expected = std::strtod(text, nullptr);
    ASSERT_EQ(Bits(expected), Bits(fixed_rounding::Round6(v))) << text;
    ASSERT_EQ(static_cast<std::size_t>(length), fixed_rounding::TextLength(v)) << text;
    char ours[400];
    ASSERT_EQ(static_cast<std::size_t>(length), fixed_rounding::Format(v, ours, sizeof ours)) << text;
    ASSERT_STREQ(text, ours);
  }
  EXPECT_EQ(0u, fixed_rounding::Format(123.0, text, 10));  // "123.000000" needs 11 with its NUL
}

TEST(EquationAgreement, RoundingNearHalvesAtEveryMagnitude) {
  // Values a few units in the last place from a half of the sixth decimal,
  // from 1e-6 up to past the magnitude where the scaled value leaves the
  // 52-bit range: the quick rounding must hand every doubtful one on.
  Rng rng(31);
  char text[400];
  for (int i = 0; i < 300000; ++i) {
    const double scale = std::ldexp(1.0, Pick(rng, 55));
    const double whole = std::floor(scale * (1.0 + static_cast<double>(Pick(rng, 1 << 20)) / (1 << 20)));
    double v = (whole + 0.5) / 1e6;
    for (int step = Pick(rng, 7) - 3; step != 0; step += step > 0 ? -1 : 1)
      v = std::nextafter(v, step > 0 ? 1e300 : -1e300);
    if (Pick(rng, 2)) v = -v;
    std::snprintf(text, sizeof text, "%f", v);
    ASSERT_EQ(Bits(std::strtod(text, nullptr)), Bits(fixed_rounding::Round6(v))) << text;
  }
}

// Values a few units in the last place from a half of the sixth decimal, at
// magnitudes from 1e-6 up to past the quick routes' limit.
double NearHalf(Rng& rng) {
  const double scale = std::ldexp(1.0, Pick(rng, 55));
  const double whole = std::floor(scale * (1.0 + static_cast<double>(Pick(rng, 1 << 20)) / (1 << 20)));
  double v = (whole + 0.5) / 1e6;
  for (int step = Pick(rng, 7) - 3; step != 0; step += step > 0 ? -1 : 1)
    v = std::nextafter(v, step > 0 ? 1e300 : -1e300);
  return Pick(rng, 2) ? -v : v;
}

TEST(EquationAgreement, RoundingRoutesAgreeWithTheExactRounding) {
  // The quick roundings (by division, and by multiplication with one fma
  // correction) against the exact integer and text routes, over millions of
  // values of every kind; every 64th also against printf and strtod.
  if (!fixed_rounding::HasFusedMultiplyAdd()) GTEST_SKIP() << "no fused multiply-add on this processor";
  Rng rng(77);
  char text[400];
  for (int i = 0; i < 3000000; ++i) {
    double v = 0.0;
    switch (i % 4) {
      case 0:
        v = RandomValue(rng);
        break;
      case 1:
        v = NearHalf(rng);
        break;
      case 2:  // fractions of the sizes measured values have, and their binary neighbours
        v = static_cast<double>(Pick(rng, 1 << 30)) * std::ldexp(1.0, -Pick(rng, 40)) *
            (Pick(rng, 2) ? -1 : 1);
        break;
      default:
        v = std::bit_cast<double>(rng());
    }
    const double exact = fixed_rounding::Round6Exact(v);
    ASSERT_EQ(Bits(exact), Bits(fixed_rounding::Round6(v))) << v;
    ASSERT_EQ(Bits(exact), Bits(fixed_rounding::Round6Fused(v))) << v;
    if (i % 64 == 0) {
      std::snprintf(text, sizeof text, "%f", v);
      ASSERT_EQ(Bits(std::strtod(text, nullptr)), Bits(exact)) << text;
    }
  }
  // Every quotient the quick routes form: integers r below 2^51 whose r / 10^6
  // ends in the last place near a half (where a rounding slip would show).
  for (int i = 0; i < 2000000; ++i) {
    const double r = std::floor(std::ldexp(static_cast<double>(rng() >> 11), -Pick(rng, 52) - 2));
    const double v = r / 1e6;
    ASSERT_EQ(Bits(fixed_rounding::Round6Exact(v)), Bits(fixed_rounding::Round6Fused(v))) << v;
    ASSERT_EQ(Bits(fixed_rounding::Round6Exact(-v)), Bits(fixed_rounding::Round6Fused(-v))) << v;
  }
  for (const double v : {0.0, -0.0, 4.0e-7, -4.0e-7, 5.0e-7, -5.0e-7, 4.9999999e-7, 12.5, 0.25, -0.0000001,
                         std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                         0x1p51 / 1e6, 2251799813.685248, 2251799813.6852475}) {
    ASSERT_EQ(Bits(fixed_rounding::Round6Exact(v)), Bits(fixed_rounding::Round6Fused(v))) << v;
  }
}

TEST(EquationAgreement, CommonShapesTakeNoShortcutsWithTheResult) {
  // Shapes that run on the direct paths (affine, operator chains) next to
  // ones that do not, with integer and other values.
  static const char* const kEquations[] = {
      "X*0.5+10", "X/4-40", "X*0.0195-0.5", "(X-40)*1.8+32", "X*100/255", "(A*256+B)/4", "A*256+B", "-X*2+1",
      "X/0+1",    "X/-0-1", "2-X*3",        "X*-0.5+-1",     "X*A-B",     "X*A+Y*B",     "1-X",     "X"};
  Rng rng(99);
  for (const char* equation : kEquations) {
    EquationEvaluator e;
    ASSERT_EQ(1, e.SetEquation(equation, std::strlen(equation))) << equation;
    for (int i = 0; i < 4000; ++i) {
      std::map<char, double> values;
      for (char letter : std::string(kLetters)) {
        const double v =
            i % 2 ? RandomValue(rng) : static_cast<double>(static_cast<std::int64_t>(rng() >> Pick(rng, 64)));
        values[letter] = v;
        e.SetVariable(letter, v);
      }
      ASSERT_EQ(ResultBits(literal::Evaluate(e.PostfixText(), values)), ResultBits(e.Evaluate()))
          << equation << " X=" << values['X'] << " A=" << values['A'] << " B=" << values['B'];
    }
  }
}

// Values for the direct paths: whole numbers of every size up to and past the
// 64-bit range (raw packet numbers are whole), both zeros, and everything
// RandomValue gives.
double RandomWholeOrEdge(Rng& rng) {
  const double sign = Pick(rng, 2) ? -1.0 : 1.0;
  switch (Pick(rng, 8)) {
    case 0:
      return static_cast<double>(Pick(rng, 65536));
    case 1:
      return sign * std::ldexp(static_cast<double>(rng() >> 11), Pick(rng, 20));  // up to 2^72
    case 2: {
      static const double kEdges[] = {0x1p52, 0x1p53, 0x1p53 + 2, 0x1p63, 0x1p63 - 1024, 0x1p64, 4.0e-7, 0.0};
      return sign * kEdges[Pick(rng, static_cast<int>(std::size(kEdges)))];
    }
    case 3:
      return -0x1p63;  // the one whole number whose conversion hits the "integer indefinite" value
    case 4:
      return sign * static_cast<double>(Pick(rng, 256)) + (Pick(rng, 2) ? 0.5 : 0.25);
    default:
      return RandomValue(rng);
  }
}

// One operand of a fused chain step, written for the infix text.
std::string RandomChainOperand(Rng& rng) {
  static const char* const kConstants[] = {"0",   "-0",  "1",        "0.5",  ".5", "12.",
                                           "1.8", "256", "0.000001", "-0.5", "3"};
  static const char kOps[] = "*/-+";
  const auto constant = [&] {
    return std::string(kConstants[Pick(rng, static_cast<int>(std::size(kConstants)))]);
  };
  const auto letter = [&] { return std::string(1, kLetters[Pick(rng, 3)]); };
  switch (Pick(rng, 6)) {
    case 0:
    case 1:
      return constant();
    case 2:
      return letter();
    case 3:
      return "-" + letter();
    case 4:  // a term: (variable op constant), (constant op variable), (variable op variable)
      switch (Pick(rng, 3)) {
        case 0:
          return "(" + letter() + kOps[Pick(rng, 4)] + constant() + ")";
        case 1:
          return "(" + constant() + kOps[Pick(rng, 4)] + letter() + ")";
        default:
          return "(" + letter() + kOps[Pick(rng, 4)] + letter() + ")";
      }
    default:
      return "(" + letter() + kOps[Pick(rng, 4)] + "-" + letter() + ")";
  }
}

void ExpectAgreement(EquationEvaluator& e, const std::string& infix, const std::map<char, double>& values) {
  double slots[EquationEvaluator::kMaxVariables] = {};
  for (const auto& [letter, v] : values) {
    e.SetVariable(letter, v);
    if (e.SlotOf(letter) >= 0) slots[e.SlotOf(letter)] = v;
  }
  const double expected = literal::Evaluate(e.PostfixText(), values);
  const double got = e.Evaluate();
  ASSERT_EQ(ResultBits(expected), ResultBits(got))
      << infix << " X=" << values.at('X') << " Y=" << values.at('Y') << " A=" << values.at('A')
      << " expected " << expected << " got " << got;
  ASSERT_EQ(Bits(got), Bits(e.EvaluateSlots(slots))) << infix;
}

TEST(EquationAgreement, FusedChainsEqualSubstitutedText) {
  // Every sequence of up to four arithmetic operators, as a chain on one
  // variable with constants (X op c op c), with a constant first (c op X op c)
  // and with mixed operands (variables, negated variables, terms); grouped
  // from the left so that each runs as one chain.
  static const char kOps[] = "*/-+";
  static const char* const kConstants[] = {"0",   "1",      "0.5", "40",   "1.8",
                                           "255", "0.0195", "-0",  "-2.5", "12."};
  Rng rng(2024);
  int equations = 0;
  for (int steps = 1; steps <= 4; ++steps) {
    int combinations = 1;
    for (int i = 0; i < steps; ++i) combinations *= 4;
    for (int combination = 0; combination < combinations; ++combination) {
      for (int form = 0; form < 3; ++form) {
        std::string infix = form == 1 ? kConstants[Pick(rng, 10)] : "X";
        for (int i = 0; i < steps; ++i) {
          std::string operand = kConstants[Pick(rng, 10)];
          if (form == 1 && i == 0) operand = "X";
          if (form == 2) operand = RandomChainOperand(rng);
          infix = "(" + infix + ")" + kOps[(combination >> (2 * i)) & 3] + operand;
        }
        EquationEvaluator e;
        ASSERT_EQ(1, e.SetEquation(infix.c_str(), infix.size())) << infix;
        ++equations;
        for (int round = 0; round < 120; ++round) {
          std::map<char, double> values;
          for (char letter : std::string(kLetters)) values[letter] = RandomWholeOrEdge(rng);
          ExpectAgreement(e, infix, values);
        }
      }
    }
  }
  EXPECT_EQ(3 * (4 + 16 + 64 + 256), equations);
}

TEST(EquationAgreement, FusedShapesWithEveryKindOfValue) {
  // The shapes the kernels are made for, fed each kind of value on its own and
  // in mixtures (a fractional value beside whole ones takes the rounding path).
  static const char* const kEquations[] = {"X*0.5+10",
                                           "X*0.0195-0.5",
                                           "(X-40)*1.8+32",
                                           "X*100/255",
                                           "(A*256+B)/4",
                                           "A*256+B",
                                           "1-X",
                                           "100/X",
                                           "100/X-1",
                                           "X/-0+1",
                                           "X*X",
                                           "-X*2+1",
                                           "2*-X+1",
                                           "X*X*0.001+X*0.5-3",
                                           "(A*256+B)*0.125-X/2",
                                           "X*A-B",
                                           "X*A+Y*B",
                                           "X/A/B",
                                           "X-(A-B)",
                                           "X*(1-A)",
                                           "X",
                                           "2+3",
                                           "X/(A*0)",
                                           "X+1/0"};
  Rng rng(4096);
  for (const char* equation : kEquations) {
    EquationEvaluator e;
    ASSERT_EQ(1, e.SetEquation(equation, std::strlen(equation))) << equation;
    for (int i = 0; i < 3000; ++i) {
      std::map<char, double> values;
      for (char letter : std::string(kLetters)) {
        switch (i % 3) {
          case 0:
            values[letter] = RandomWholeOrEdge(rng);
            break;
          case 1:
            values[letter] = RandomValue(rng);
            break;
          default:
            values[letter] = Pick(rng, 4) == 0 ? RandomValue(rng) : static_cast<double>(Pick(rng, 256));
        }
      }
      ExpectAgreement(e, equation, values);
    }
  }
}

TEST(EquationAgreement, BothKernelRoutesEqualSubstitutedText) {
  // The fused kernels are built twice, with and without fused multiply-add;
  // the processor picks one. Each is checked here, whatever this processor
  // picks, on every operator sequence of the one-variable chains and on
  // mixed chains, with whole, fractional and exceptional values.
  static const char kOps[] = "*/-+";
  static const char* const kConstants[] = {"0", "1", "0.5", "40", "1.8", "255", "0.0195", "-0", "-2.5", "3"};
  const bool fma = fixed_rounding::HasFusedMultiplyAdd();
  Rng rng(555);
  for (int steps = 1; steps <= 4; ++steps) {
    const int combinations = 1 << (2 * steps);
    for (int combination = 0; combination < combinations; ++combination) {
      for (int form = 0; form < 3; ++form) {
        std::string infix = form == 1 ? kConstants[Pick(rng, 10)] : "X";
        for (int i = 0; i < steps; ++i) {
          std::string operand = kConstants[Pick(rng, 10)];
          if (form == 1 && i == 0) operand = "X";
          if (form == 2) operand = RandomChainOperand(rng);
          infix = "(" + infix + ")" + kOps[(combination >> (2 * i)) & 3] + operand;
        }
        std::string postfix;
        ASSERT_EQ(EquationResult::kOk, EquationEvaluator::ToPostfix(infix.c_str(), postfix)) << infix;
        const auto dividing = EquationEvaluator::Program::Compile(postfix, false);
        const auto fused = EquationEvaluator::Program::Compile(postfix, fma);
        ASSERT_TRUE(dividing && fused) << infix;
        for (int round = 0; round < 60; ++round) {
          std::map<char, double> values;
          double slots[EquationEvaluator::kMaxVariables] = {};
          for (char letter : std::string(kLetters)) {
            const double v = round % 3 == 0   ? RandomWholeOrEdge(rng)
                             : round % 3 == 1 ? static_cast<double>(Pick(rng, 256)) * 0.3921568
                                              : RandomValue(rng);
            values[letter] = v;
            const int slot = dividing->slotOfLetter[static_cast<unsigned char>(letter)];
            if (slot >= 0) slots[slot] = v;
          }
          const double expected = literal::Evaluate(postfix, values);
          ASSERT_EQ(ResultBits(expected), ResultBits(dividing->Run(slots)))
              << infix << " X=" << values['X'] << " A=" << values['A'];
          ASSERT_EQ(ResultBits(expected), ResultBits(fused->Run(slots)))
              << infix << " X=" << values['X'] << " A=" << values['A'];
        }
      }
    }
  }
}

TEST(EquationAgreement, DivisionByAConstantAsAMultiplicationGivesTheQuotient) {
  // Where fused multiply-add serves, a chain divides by a constant through
  // two parts of its reciprocal. Dividends of every size (the multiplication
  // before the division makes them arbitrary doubles), divisors up to the
  // largest odd part allowed and past it, against the plain division.
  if (!fixed_rounding::HasFusedMultiplyAdd()) GTEST_SKIP() << "no fused multiply-add on this processor";
  struct Divisor {
    std::string text;
    int split;  // whether the multiplication route is taken (-1: either)
  };
  // Equation text has no exponent notation: tiny and huge constants are
  // written out, short enough for the substituted text to fit.
  const std::string tiny = "0." + std::string(59, '0') + "1";  // 10^-60
  const std::string huge = "3" + std::string(60, '0');         // 3 * 10^60
  const std::string tinyFactor = "0." + std::string(39, '0') + "1";
  const std::string hugeFactor = "3" + std::string(40, '0');
  const Divisor kDivisors[] = {{"255", 1},
                               {"3", 1},
                               {"7", 1},
                               {"10", 1},
                               {"100", 1},
                               {"1000000", 1},
                               {"4", 1},
                               {"-255", 1},
                               {"0.125", 1},
                               {"562949953421311", 1},
                               {"562949953421313", 0},
                               {"1.8", 0},
                               {"0.1", 0},
                               {tiny, -1},
                               {huge, -1},
                               {"-0.00007", -1}};
  Rng rng(4242);
  for (const Divisor& d : kDivisors) {
    const double c = std::strtod(d.text.c_str(), nullptr);
    for (const std::string& multiplier : {std::string("1"), std::string("1.0000001"),
                                          std::string("0.7071067811865476"), tinyFactor, hugeFactor}) {
      const std::string infix = "X*" + multiplier + "/" + d.text;
      std::string postfix;
      ASSERT_EQ(EquationResult::kOk, EquationEvaluator::ToPostfix(infix.c_str(), postfix)) << infix;
      const auto fused = EquationEvaluator::Program::Compile(postfix, true);
      ASSERT_TRUE(fused) << infix;
      if (d.split >= 0) {
        EXPECT_EQ(d.split == 1, !std::isnan(fused->fusedDivisors[1].minDividend)) << infix;
      }
      const double m = std::strtod(multiplier.c_str(), nullptr);
      for (int i = 0; i < 40000; ++i) {
        double v = 0.0;
        switch (i % 4) {
          case 0:
            v = RandomValue(rng);
            break;
          case 1: {
            // A six-decimal value giving a quotient of any size.
            const double q =
                std::ldexp(1.0 + static_cast<double>(Pick(rng, 1 << 30)) / (1 << 30), Pick(rng, 80) - 40);
            v = std::round(q * c / m * 1e6) / 1e6;
            break;
          }
          case 2:
            v = static_cast<double>(Pick(rng, 1 << 30)) * (Pick(rng, 2) ? 1 : -1);
            break;
          default:
            v = std::bit_cast<double>(rng());
        }
        const double slots[1] = {v};
        if (!fused->SubstitutedTextFits(slots)) continue;  // the error route, checked elsewhere
        const double expected = fixed_rounding::Round6Exact(v) * m / c;
        ASSERT_EQ(ResultBits(expected), ResultBits(fused->Run(slots))) << infix << " X=" << v;
      }
      // Dividends at zero, around the subnormal limit and near the largest doubles.
      for (const double a :
           {0.0, -0.0, 1e-310, -4e-320, 2.2250738585072014e-308, 1e-290, 1.7e308, -1.7e308}) {
        const double slots[1] = {a / m};
        if (!fused->SubstitutedTextFits(slots)) continue;
        const double expected = fixed_rounding::Round6Exact(a / m) * m / c;
        ASSERT_EQ(ResultBits(expected), ResultBits(fused->Run(slots))) << infix << " X=" << a / m;
      }
    }
  }
}

TEST(EquationAgreement, CompiledEqualsSubstitutedText) {
  Rng rng(12345);
  int compared = 0;
  int nonZero = 0;
  int equations = 0;
  for (int i = 0; i < 30000; ++i) {
    const std::string infix = Pick(rng, 4) == 0 ? RandomSoup(rng) : RandomExpression(rng, 0);
    EquationEvaluator e;
    if (!e.SetEquation(infix.c_str(), infix.size())) continue;
    ++equations;
    const std::string& postfix = e.PostfixText();
    for (int round = 0; round < 8; ++round) {
      std::map<char, double> values;
      double slots[EquationEvaluator::kMaxVariables] = {};
      for (char letter : std::string(kLetters)) {
        const double v = Pick(rng, 3) == 0 ? RandomValue(rng) : static_cast<double>(Pick(rng, 256));
        values[letter] = v;
        e.SetVariable(letter, v);
        if (e.SlotOf(letter) >= 0) slots[e.SlotOf(letter)] = v;
      }
      const double expected = literal::Evaluate(postfix, values);
      const double got = e.Evaluate();
      ASSERT_EQ(ResultBits(expected), ResultBits(got))
          << "equation '" << infix << "' postfix '" << postfix << "' expected " << expected << " got " << got;
      ASSERT_EQ(Bits(got), Bits(e.EvaluateSlots(slots))) << infix;
      ++compared;
      if (got != 0.0) ++nonZero;

      // The text scanner of the library agrees with the long way too.
      std::string text;
      if (literal::Substitute(postfix, values, text)) {
        double a = 0.0;
        double b = 0.0;
        ASSERT_EQ(literal::Scan(text, a),
                  static_cast<int>(EquationEvaluator::EvaluatePostfix(text.c_str(), b)))
            << text;
        ASSERT_EQ(ResultBits(a), ResultBits(b)) << text;
      }
    }
  }
  // The generator must exercise real equations, not only failures.
  EXPECT_GT(equations, 15000);
  EXPECT_GT(nonZero, compared / 4);
}

}  // namespace
