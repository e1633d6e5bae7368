#include "tests/equation/LiteralEvaluator.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace literal {
namespace {

const char kOperators[] = "#*/%-+^&|<>";

bool Alpha(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool Digit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::int64_t Int32Of(double x) {
  if (std::isnan(x)) return 0;
  return static_cast<std::int64_t>(std::clamp(std::trunc(x), -2147483648.0, 2147483647.0));
}

}  // namespace

bool Substitute(const std::string& postfix, const std::map<char, double>& values, std::string& text) {
  char buffer[200];
  std::size_t used = 0;
  for (std::size_t i = 0; i < postfix.size(); ++i) {
    const char c = postfix[i];
    const bool negated =
        c == '-' && i > 0 && postfix[i - 1] == ' ' && i + 1 < postfix.size() && Alpha(postfix[i + 1]);
    if (negated || Alpha(c)) {
      const char letter = negated ? postfix[++i] : c;
      const auto found = values.find(letter);
      const double v = found == values.end() ? 0.0 : found->second;
      const int n = std::snprintf(buffer + used, sizeof buffer - used, "%f", negated ? -v : v);
      if (n < 0 || used + static_cast<std::size_t>(n) >= sizeof buffer) return false;
      used += static_cast<std::size_t>(n);
    } else {
      if (used + 1 >= sizeof buffer) return false;
      buffer[used++] = c;
    }
  }
  text.assign(buffer, used);
  return true;
}

int Scan(const std::string& text, double& result) {
  result = 0.0;
  std::vector<double> stack;
  const char* p = text.c_str();
  while (*p != '\0') {
    const char c = *p;
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++p;
      continue;
    }
    const bool isOperator = std::strchr(kOperators, c) != nullptr;
    const char next = p[1];
    if (!isOperator || Digit(next) || (c == '-' && (next == '.' || Alpha(next)))) {
      std::size_t length = 0;
      while (Alpha(p[length]) || Digit(p[length]) || p[length] == '.' || (length == 0 && p[0] == '-'))
        ++length;
      if (length == 0) return 3;
      const std::string operand(p, length);
      char* stop = nullptr;
      const double value = std::strtod(operand.c_str(), &stop);
      if (stop != operand.c_str() + length) return 3;
      stack.push_back(value);
      p += length;
      continue;
    }
    if (stack.size() < 2) return 1;
    const double b = stack.back();
    stack.pop_back();
    const double a = stack.back();
    stack.pop_back();
    double r = 0.0;
    switch (c) {
      case '#':
        r = std::pow(a, b);
        break;
      case '*':
        r = a * b;
        break;
      case '/':
        if (b == 0) return 5;
        r = a / b;
        break;
      case '%': {
        if (b == 0) return 5;
        const std::int64_t ib = Int32Of(b);
        if (ib == 0) return 5;
        r = static_cast<double>(Int32Of(a) % ib);
        break;
      }
      case '-':
        r = a - b;
        break;
      case '+':
        r = a + b;
        break;
      case '^':
        r = static_cast<double>(static_cast<std::int32_t>(Int32Of(a) ^ Int32Of(b)));
        break;
      case '&':
        r = static_cast<double>(static_cast<std::int32_t>(Int32Of(a) & Int32Of(b)));
        break;
      case '|':
        r = static_cast<double>(static_cast<std::int32_t>(Int32Of(a) | Int32Of(b)));
        break;
      case '<':
        r = a < b ? 1 : 0;
        break;
      case '>':
        r = a > b ? 1 : 0;
        break;
    }
    stack.push_back(r);
    ++p;
  }
  if (stack.empty()) return 1;
  result = stack.back();
  return stack.size() == 1 ? 0 : 4;
}

double Evaluate(const std::string& postfix, const std::map<char, double>& values) {
  std::string text;
  if (!Substitute(postfix, values, text)) return 0.0;
  double result = 0.0;
  const int code = Scan(text, result);
  return code == 0 || code == 4 ? result : 0.0;
}

}  // namespace literal
