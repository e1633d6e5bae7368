#pragma once
// The evaluation of a postfix text done the long way, as a yardstick for the
// compiled evaluator: every variable letter is replaced by its value printed
// with "%f" into a 200-character buffer, and the text is scanned with strtod
// and a value stack. It keeps the evaluator's rules for "-X" operands (the
// negated value's text), "-." and "-inf" operands, and saturating integer
// truncation. Slow on purpose; tests only. Needs the "C" numeric locale.
#include <map>
#include <string>

namespace literal {

// Substitutes values into postfix; false when the text does not fit 199
// characters. Letters without a value count as 0.0.
bool Substitute(const std::string& postfix, const std::map<char, double>& values, std::string& text);

// Scans a substituted text; returns the result code (0, 1, 3, 4, 5).
int Scan(const std::string& text, double& result);

// Substitutes and scans; the value Evaluate must give.
double Evaluate(const std::string& postfix, const std::map<char, double>& values);

}  // namespace literal
