#include "equation/EquationEvaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

// Sets the equation (which must convert), sets the given letters and evaluates.
double Eval(const char* equation, std::initializer_list<std::pair<char, double>> values = {}) {
  EquationEvaluator e;
  EXPECT_EQ(1, e.SetEquation(equation, std::strlen(equation))) << equation;
  for (const auto& [letter, value] : values) EXPECT_EQ(1, e.SetVariable(letter, value)) << letter;
  return e.Evaluate();
}

// The number of a result code, as the interface fixes it.
int Code(EquationResult result) {
  return static_cast<int>(result);
}

std::string Postfix(const char* infix, int expectedCode = 0) {
  std::string out;
  EXPECT_EQ(expectedCode, Code(EquationEvaluator::ToPostfix(infix, out))) << infix;
  return out;
}

TEST(EquationConversion, ProducesSpaceSeparatedPostfix) {
  EXPECT_EQ(" X 0.5 * 10 +", Postfix("X*0.5+10"));
  EXPECT_EQ(" 0 X -", Postfix("-X"));
  EXPECT_EQ(" X 1 + 2 *", Postfix("(X+1)*2"));
  EXPECT_EQ(" 2 -X *", Postfix("2*-X"));
  EXPECT_EQ(" 8 3 2 * %", Postfix("8%3*2"));
  EXPECT_EQ(" 2 3 # 2 #", Postfix("2#3#2"));
  EXPECT_EQ(" A 256 * B + 4 /", Postfix(" ( A * 256 + B ) / 4 "));
  EXPECT_EQ(" 0 5 +", Postfix("+5"));
  EXPECT_EQ(" 2 -.5 *", Postfix("2*-.5"));
  EXPECT_EQ(" 1 2 + 4 <", Postfix("1+2<4"));
  EXPECT_EQ("", Postfix("   \t "));
  // An operator character after an operator that cannot start an operand
  // leaves a lone space and is then read as an operator.
  EXPECT_EQ(" 2  * 3 *", Postfix("2**3"));
}

TEST(EquationConversion, ReportsUnbalancedParenthesesAndStrayCharacters) {
  Postfix("(X+1", 1);
  Postfix("X+1)", 1);
  Postfix(")(", 1);
  Postfix("X$2", 3);
  Postfix("X+\x80", 3);
  Postfix("2,5", 3);
}

TEST(EquationEvaluation, OperatorsPrecedenceAndGrouping) {
  EXPECT_EQ(60.0, Eval("X*0.5+10", {{'X', 100}}));
  EXPECT_EQ(14.0, Eval("2+3*4"));
  EXPECT_EQ(-5.0, Eval("2-3-4"));
  EXPECT_EQ(2.0, Eval("8%3*2"));
  EXPECT_EQ(2.0, Eval("2*3%4"));
  EXPECT_EQ(64.0, Eval("2#3#2"));
  EXPECT_EQ(6.0, Eval("5^3"));
  EXPECT_EQ(1.0, Eval("1+2<4"));
  EXPECT_EQ(4.0, Eval("6&3+1"));
  EXPECT_EQ(0.0, Eval("5<5"));
  EXPECT_EQ(1.0, Eval("6>5"));
  EXPECT_EQ(7.0, Eval("5|3"));
  EXPECT_EQ(-1.0, Eval("0-7%3"));
  EXPECT_EQ(-1.0, Eval("-7%3"));  // " 0 7 3 % -": the remainder binds first
  EXPECT_EQ(2.5, Eval("(A*256+B)/4", {{'A', 0}, {'B', 10}}));
  EXPECT_EQ(0.0, Eval("N<1", {{'N', std::nan("")}}));  // comparisons with NaN are false
  EXPECT_EQ(0.0, Eval("N>1", {{'N', std::nan("")}}));
  EXPECT_EQ(1.0, Eval("N<1", {{'N', -std::numeric_limits<double>::infinity()}}));
}

TEST(EquationEvaluation, SignsAndNegatedOperands) {
  EXPECT_EQ(-7.0, Eval("-X", {{'X', 7}}));
  EXPECT_EQ(-10.0, Eval("2*-X", {{'X', 5}}));
  EXPECT_EQ(10.0, Eval("2*-X", {{'X', -5}}));  // the value is negated, whatever its sign
  EXPECT_EQ(8.0, Eval("5-X", {{'X', -3}}));
  EXPECT_EQ(-9.0, Eval("2*-X+1", {{'X', 5}}));
  EXPECT_EQ(-1.0, Eval("2*-.5"));
  EXPECT_EQ(-3.0, Eval("2*-1.5"));
  EXPECT_EQ(9.0, Eval("X*X", {{'X', 3}}));
  EXPECT_EQ(5.0, Eval("+5"));
  const double negZero = Eval("-X", {{'X', -0.0}});
  EXPECT_EQ(0.0, negZero);
  EXPECT_FALSE(std::signbit(negZero));
  EXPECT_EQ(-std::numeric_limits<double>::infinity(), Eval("X*2", {{'X', -INFINITY}}));
  EXPECT_EQ(std::numeric_limits<double>::infinity(), Eval("1*-X", {{'X', -INFINITY}}));
}

TEST(EquationEvaluation, OperandsJoiningValuesAreReadAsText) {
  // A letter inside a longer operand joins its value's text to the rest.
  EXPECT_EQ(25.0, Eval("2X", {{'X', 5}}));
  EXPECT_EQ(5.0000002, Eval("X2", {{'X', 5}}));
  EXPECT_EQ(-5.0000002, Eval("1*-X2", {{'X', 5}}));
  EXPECT_EQ(5.0000002, Eval("1*-X2", {{'X', -5}}));
  EXPECT_EQ(-5.0, Eval("2X", {{'X', -5}}));          // "2-5.000000" reads as two values
  EXPECT_EQ(0.0, Eval("XY", {{'X', 1}, {'Y', 2}}));  // "1.0000002.000000" is not a number
}

TEST(EquationEvaluation, ValuesEnterWithSixDecimals) {
  EXPECT_EQ(0.0, Eval("X", {{'X', 0.0000004}}));
  EXPECT_EQ(0.000001, Eval("X", {{'X', 0.0000006}}));
  EXPECT_EQ(1.234568, Eval("X", {{'X', 1.2345678}}));
  EXPECT_EQ(0.007812, Eval("X", {{'X', 0.0078125}}));  // an exact tie goes to even
}

TEST(EquationEvaluation, ErrorsGiveZeroAndExtraValuesGiveTheTop) {
  EXPECT_EQ(0.0, Eval("10/0"));
  EXPECT_EQ(0.0, Eval("7%0.5"));
  EXPECT_EQ(0.0, Eval("X/Y", {{'X', 1}, {'Y', 0.0000001}}));  // Y enters as 0
  EXPECT_EQ(3.0, Eval("2(3)"));
  EXPECT_EQ(0.0, Eval("2**3"));
  EXPECT_EQ(0.0, Eval("1..2+1"));
  EXPECT_EQ(0.0, Eval("   "));
  EXPECT_EQ(0.0, Eval("2*-(3)"));  // "-" alone is the minus operator
}

TEST(EquationEvaluation, IntegerOperatorsSaturateAndNeverTrap) {
  EXPECT_EQ(0.0, Eval("X%Y", {{'X', -2147483648.0}, {'Y', -1}}));
  EXPECT_EQ(0.0, Eval("X%0-1", {{'X', 5}}));
  EXPECT_EQ(2147483647.0, Eval("X|0", {{'X', 1e12}}));
  EXPECT_EQ(-2147483648.0, Eval("X|0", {{'X', -1e12}}));
  EXPECT_EQ(0.0, Eval("X|0", {{'X', std::nan("")}}));
  EXPECT_EQ(0.0, Eval("X%Y", {{'X', 5}, {'Y', std::nan("")}}));  // divisor truncates to 0
  EXPECT_EQ(1.0, Eval("X%Y", {{'X', 1e20}, {'Y', 2}}));          // 2147483647 % 2
  EXPECT_EQ(-1.0, Eval("X^0", {{'X', -1.9}}));
}

TEST(EquationEvaluation, SubstitutedTextMustFitTheBuffer) {
  // 12 texts of "1.000000" fit; 12 texts of "1234567890.000000" do not.
  std::string sum = "A";
  for (int i = 0; i < 11; ++i) sum += "+A";
  EquationEvaluator e;
  ASSERT_EQ(1, e.SetEquation(sum.c_str(), sum.size()));
  e.SetVariable('A', 1);
  EXPECT_EQ(12.0, e.Evaluate());
  e.SetVariable('A', 1234567890);
  EXPECT_EQ(0.0, e.Evaluate());
  // One huge value alone overflows the buffer too.
  ASSERT_EQ(1, e.SetEquation("X+1", 3));
  e.SetVariable('X', 1e180);  // " 1e180-as-188-characters 1 +" fits
  EXPECT_EQ(1e180, e.Evaluate());
  e.SetVariable('X', 1e190);  // 198 characters for the value alone
  EXPECT_EQ(0.0, e.Evaluate());
  // A constant text longer than the buffer can never be evaluated.
  std::string longConstant = "1." + std::string(250, '0') + "+0";
  ASSERT_EQ(1, e.SetEquation(longConstant.c_str(), longConstant.size()));
  EXPECT_EQ(0.0, e.Evaluate());
}

TEST(EquationEvaluator, SetEquationStoresTextAndKeepsLastGoodConversion) {
  EquationEvaluator e;
  EXPECT_EQ(0.0, e.Evaluate());
  EXPECT_EQ(0u, e.VariableCount());
  EXPECT_EQ(0, e.SetEquation(nullptr, 3));
  EXPECT_EQ(0, e.SetEquation("X", 0));
  char buffer[32] = "untouched";
  EXPECT_EQ(1, e.GetEquation(buffer, sizeof buffer));
  EXPECT_STREQ("untouched", buffer);

  ASSERT_EQ(1, e.SetEquation("X*2", 3));
  ASSERT_EQ(1, e.SetVariable('X', 4));
  EXPECT_EQ(0, e.SetVariable('Y', 4));
  EXPECT_EQ(0, e.SetVariable('x', 4));  // case matters
  EXPECT_EQ(8.0, e.Evaluate());

  EXPECT_EQ(0, e.SetEquation("(Y+1", 4));
  EXPECT_EQ(5, e.GetEquation(buffer, sizeof buffer));
  EXPECT_STREQ("(Y+1", buffer);
  EXPECT_EQ(" X 2 *", e.PostfixText());
  EXPECT_EQ(8.0, e.Evaluate());  // previous equation and its values stay
  EXPECT_EQ(1, e.SetVariable('X', 5));

  // More than 32 letters: refused the same way.
  std::string letters = "Q";
  for (int i = 0; i < 32; ++i) letters += "+Q";
  EXPECT_EQ(0, e.SetEquation(letters.c_str(), letters.size()));
  EXPECT_EQ(10.0, e.Evaluate());
  EXPECT_EQ(1u, e.VariableCount());
  char stored[80];
  EXPECT_EQ(static_cast<int>(letters.size() + 1), e.GetEquation(stored, sizeof stored));
  EXPECT_EQ(letters, stored);  // kept for saving, like a text that does not convert
  std::string thirtyTwo = letters.substr(2);
  ASSERT_EQ(1, e.SetEquation(thirtyTwo.c_str(), thirtyTwo.size()));
  EXPECT_EQ(32u, e.VariableCount());
  EXPECT_EQ(1u, e.SlotCount());
  e.SetVariable('Q', 0.5);  // 32 texts of "0.500000" do not fit 199 characters
  EXPECT_EQ(0.0, e.Evaluate());

  // A new equation resets the values.
  ASSERT_EQ(1, e.SetEquation("Q+1", 3));
  EXPECT_EQ(1.0, e.Evaluate());
}

TEST(EquationEvaluator, TextEndsAtItsNul) {
  EquationEvaluator e;
  const char text[] = "X+1\0garbage";
  ASSERT_EQ(1, e.SetEquation(text, 11));
  char buffer[16];
  EXPECT_EQ(4, e.GetEquation(buffer, sizeof buffer));
  EXPECT_STREQ("X+1", buffer);
  // No NUL within length + 1 characters: stored as empty.
  const char unterminated[4] = {'X', '+', '1', '2'};
  ASSERT_EQ(1, e.SetEquation(unterminated, 2));
  EXPECT_EQ(1, e.GetEquation(buffer, sizeof buffer));
  EXPECT_STREQ("", buffer);
  EXPECT_EQ(0.0, e.Evaluate());
}

TEST(EquationEvaluator, GetEquationCutsToCapacity) {
  EquationEvaluator e;
  ASSERT_EQ(1, e.SetEquation("X*0.5+10", 8));
  char buffer[9];
  EXPECT_EQ(9, e.GetEquation(buffer, 9));
  EXPECT_STREQ("X*0.5+10", buffer);
  EXPECT_EQ(1, e.GetEquation(buffer, 8));
  EXPECT_STREQ("X*0.5+1", buffer);
  EXPECT_EQ(1, e.GetEquation(buffer, 1));
  EXPECT_STREQ("", buffer);
  buffer[0] = 'z';
  EXPECT_EQ(1, e.GetEquation(buffer, 0));
  EXPECT_EQ('z', buffer[0]);
  EXPECT_EQ(1, e.GetEquation(nullptr, 9));
}

TEST(EquationEvaluator, VariableTableFollowsPostfixOrder) {
  EquationEvaluator e;
  ASSERT_EQ(1, e.SetEquation("b*(A+b)-a", 9));
  EXPECT_EQ(" b A b + * a -", e.PostfixText());
  ASSERT_EQ(4u, e.VariableCount());
  EXPECT_EQ('b', e.VariableLetter(0));
  EXPECT_EQ('A', e.VariableLetter(1));
  EXPECT_EQ('b', e.VariableLetter(2));
  EXPECT_EQ('a', e.VariableLetter(3));
  EXPECT_EQ(0, e.VariableLetter(4));
  EXPECT_EQ(3u, e.SlotCount());
  EXPECT_EQ(0, e.SlotOf('b'));
  EXPECT_EQ(1, e.SlotOf('A'));
  EXPECT_EQ(2, e.SlotOf('a'));
  EXPECT_EQ(-1, e.SlotOf('B'));
  EXPECT_EQ(-1, e.SlotOf('\xC4'));
  const double slots[3] = {2, 3, 1};
  EXPECT_EQ(9.0, e.EvaluateSlots(slots));
  EXPECT_EQ(0.0, e.EvaluateSlots(nullptr));
  EXPECT_EQ(0.0, e.Evaluate());  // the instance's own values are untouched
}

TEST(EquationEvaluator, CopiesAreIndependent) {
  EquationEvaluator a;
  ASSERT_EQ(1, a.SetEquation("X+1", 3));
  a.SetVariable('X', 1);
  EquationEvaluator b(a);
  b.SetVariable('X', 10);
  EXPECT_EQ(2.0, a.Evaluate());
  EXPECT_EQ(11.0, b.Evaluate());
  EquationEvaluator c;
  c = b;
  ASSERT_EQ(1, b.SetEquation("X*3", 3));
  EXPECT_EQ(11.0, c.Evaluate());
  c = c;
  EXPECT_EQ(11.0, c.Evaluate());
  EquationEvaluator empty;
  c = empty;
  EXPECT_EQ(0.0, c.Evaluate());
  EXPECT_EQ("", c.PostfixText());
}

TEST(EquationPostfixText, EvaluatesSubstitutedTexts) {
  double r = -1;
  EXPECT_EQ(0, Code(EquationEvaluator::EvaluatePostfix(" 5.000000 0.5 * 10 +", r)));
  EXPECT_EQ(12.5, r);
  EXPECT_EQ(0, Code(EquationEvaluator::EvaluatePostfix(" 0 -3.000000 -", r)));
  EXPECT_EQ(3.0, r);
  EXPECT_EQ(4, Code(EquationEvaluator::EvaluatePostfix(" 2 3", r)));
  EXPECT_EQ(3.0, r);
  EXPECT_EQ(1, Code(EquationEvaluator::EvaluatePostfix(" 2 +", r)));
  EXPECT_EQ(0.0, r);
  EXPECT_EQ(1, Code(EquationEvaluator::EvaluatePostfix("", r)));
  EXPECT_EQ(3, Code(EquationEvaluator::EvaluatePostfix(" X 1 +", r)));
  EXPECT_EQ(3, Code(EquationEvaluator::EvaluatePostfix(" 1e5", r)));   // no exponents
  EXPECT_EQ(3, Code(EquationEvaluator::EvaluatePostfix(" 0x10", r)));  // no hexadecimal
  EXPECT_EQ(3, Code(EquationEvaluator::EvaluatePostfix(" +5", r)));    // never loops on an empty operand
  EXPECT_EQ(3, Code(EquationEvaluator::EvaluatePostfix(" $", r)));
  EXPECT_EQ(5, Code(EquationEvaluator::EvaluatePostfix(" 1 0 /", r)));
  EXPECT_EQ(0, Code(EquationEvaluator::EvaluatePostfix(" -inf", r)));
  EXPECT_EQ(-INFINITY, r);
  const std::string huge = " " + std::string(400, '9');
  EXPECT_EQ(0, Code(EquationEvaluator::EvaluatePostfix(huge.c_str(), r)));
  EXPECT_EQ(INFINITY, r);
}

}  // namespace
