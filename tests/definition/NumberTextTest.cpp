#include "definition/NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "tests/definition/CommaLocale.h"

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
  char text[2048];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return std::string(text, n < 0 ? 0 : static_cast<std::size_t>(n));
}

std::string Fixed(double v, int decimals) {
  char text[2048];
  char* end = AppendFixed(text, text + sizeof text, v, decimals);
  return end != nullptr ? std::string(text, end) : std::string("<no room>");
}

std::string General(double v, int digits) {
  char text[2048];
  char* end = AppendGeneral(text, text + sizeof text, v, digits);
  return end != nullptr ? std::string(text, end) : std::string("<no room>");
}

// Doubles from every corner: raw bit patterns (all exponents, subnormals,
// NaNs with either sign), values near the sizes that gauges and equations
// use, and halfway cases of the decimal rounding.
class ValueSource {
 public:
  explicit ValueSource(std::uint64_t seed) : random_(seed) {}

  double Next() {
    switch (random_() % 4) {
      case 0:
        return std::bit_cast<double>(random_());
      case 1: {
        std::uniform_real_distribution<double> d(-1.0e6, 1.0e6);
        return d(random_);
      }
      case 2: {
        // k / 2^n: exactly halfway between two decimal texts at some count.
        const auto k = static_cast<std::int64_t>(random_() % 2000001) - 1000000;
        return std::ldexp(static_cast<double>(k), -static_cast<int>(random_() % 12));
      }
      default: {
        std::uniform_real_distribution<double> mantissa(1.0, 10.0);
        std::uniform_int_distribution<int> exponent(-30, 30);
        const double v = mantissa(random_) * std::pow(10.0, exponent(random_));
        return random_() % 2 ? v : -v;
      }
    }
  }
  std::uint64_t Bits() { return random_(); }

 private:
  std::mt19937_64 random_;
};

}  // namespace

// The formatter must give printf's own bytes, so nothing changes in saved
// files, CSV rows or displays when it replaces printf.
TEST(NumberTextDifferential, FixedMatchesPrintfOverMillionsOfValues) {
  ValueSource values(20261208);
  int mismatches = 0;
  for (int i = 0; i < 2000000 && mismatches < 10; ++i) {
    const double v = values.Next();
    const int decimals = static_cast<int>(values.Bits() % 18);
    const std::string expected = Printf("%.*f", decimals, v);
    const std::string actual = Fixed(v, decimals);
    if (actual != expected) {
      ++mismatches;
      ADD_FAILURE() << "%." << decimals << "f of " << std::hexfloat << v << ": " << actual << " vs "
                    << expected;
    }
  }
}

// The short route for decoded values decides ties from the exact product:
// values a few units in the last place around every halfway text, exact
// halves, and the results of typical conversions, at every short decimal count.
TEST(NumberTextDifferential, FixedMatchesPrintfAroundHalfwayTexts) {
  std::mt19937_64 random(4242);
  int mismatches = 0;
  const auto check = [&](double v, int decimals) {
    const std::string expected = Printf("%.*f", decimals, v);
    const std::string actual = Fixed(v, decimals);
    if (actual != expected && ++mismatches <= 10) {
      ADD_FAILURE() << "%." << decimals << "f of " << std::hexfloat << v << ": " << actual << " vs "
                    << expected;
    }
  };
  for (int i = 0; i < 1500000; ++i) {
    const int decimals = static_cast<int>(random() % 10);
    const double unit = std::pow(10.0, -decimals);
    // k + 1/2 units at a magnitude from tiny to near the end of the short route.
    const int magnitude = static_cast<int>(random() % 16);
    const auto k = static_cast<double>(random() % static_cast<std::uint64_t>(std::pow(10.0, magnitude) + 1));
    double v = (k + 0.5) * unit;
    const int steps = static_cast<int>(random() % 7) - 3;
    for (int s = 0; s < steps; ++s) v = std::nextafter(v, HUGE_VAL);
    for (int s = 0; s > steps; --s) v = std::nextafter(v, -HUGE_VAL);
    check(random() % 2 ? v : -v, decimals);
    // A raw byte or word through a typical equation.
    const auto raw = static_cast<double>(random() % 65536);
    const double factors[] = {0.75, 1.8, 0.0195, 100.0 / 255.0, 0.125, 1.0 / 3.0};
    check(raw * factors[random() % 6] - static_cast<double>(random() % 100), decimals);
  }
  for (int decimals = 0; decimals <= 9; ++decimals) {
    for (double v : {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, 0.125, 0.375, 1e-300, -1e-300, 4503599627370495.5,
                     4503599627370496.0, 1e15, -9.999999999e14, 0.049999999999999996, 0.05}) {
      check(v, decimals);
    }
  }
}

TEST(NumberTextDifferential, GeneralMatchesPrintf) {
  ValueSource values(7);
  int mismatches = 0;
  for (int i = 0; i < 1000000 && mismatches < 10; ++i) {
    const double v = values.Next();
    const int digits = static_cast<int>(values.Bits() % 19);
    const std::string expected = Printf("%.*g", digits, v);
    const std::string actual = General(v, digits);
    if (actual != expected) {
      ++mismatches;
      ADD_FAILURE() << "%." << digits << "g of " << std::hexfloat << v << ": " << actual << " vs "
                    << expected;
    }
  }
}

TEST(NumberTextDifferential, IntegersMatchPrintfForEveryDigitCount) {
  ValueSource values(99);
  char text[64];
  int mismatches = 0;
  for (int i = 0; i < 1000000 && mismatches < 10; ++i) {
    const std::uint64_t bits = values.Bits();
    // Small numbers as often as full-width ones, and every minimum digit count.
    const std::uint32_t u =
        (i % 2) ? static_cast<std::uint32_t>(bits) : static_cast<std::uint32_t>(bits % 1000);
    const auto s = static_cast<std::int32_t>(u);
    const int digits = static_cast<int>((bits >> 40) % 14);
    const std::string hex(text, AppendHex(text, text + sizeof text, u, digits));
    const std::string lower(text, AppendHex(text, text + sizeof text, u, digits, false));
    const std::string dec(text, AppendInt(text, text + sizeof text, s, digits));
    const std::string uns(text, AppendUnsigned(text, text + sizeof text, u, digits));
    const bool same = hex == Printf("%.*X", digits, u) && lower == Printf("%.*x", digits, u) &&
                      dec == Printf("%.*i", digits, s) && uns == Printf("%.*u", digits, u);
    if (!same) {
      ++mismatches;
      ADD_FAILURE() << u << " with " << digits << " digits: " << hex << " " << lower << " " << dec << " "
                    << uns;
    }
  }
}

TEST(NumberText, SpecialValuesAreSpelledAsPrintfSpellsThem) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double cases[] = {
      0.0,   -0.0, nan, -nan, inf,  -inf, DBL_MAX, -DBL_MAX, DBL_MIN, 4.9e-324,
      0.125, 2.5,  0.5, 1.5,  -2.5, 1e22, 9.995,   1e-7,     -1e-7,   123456789.987654321};
  for (double v : cases) {
    for (int decimals : {-1, 0, 1, 2, 3, 6, 17, 40, 330}) {
      EXPECT_EQ(Fixed(v, decimals), Printf("%.*f", decimals, v)) << v << " " << decimals;
    }
    for (int digits : {-1, 0, 1, 6, 17, 30}) {
      EXPECT_EQ(General(v, digits), Printf("%.*g", digits, v)) << v << " " << digits;
    }
  }
  EXPECT_EQ(Fixed(-nan, 2), "-nan");
  EXPECT_EQ(Fixed(-0.0, 1), "-0.0");
  // printf writes no digit for 0 at precision 0.
  char text[8];
  EXPECT_EQ(AppendInt(text, text + sizeof text, 0, 0), text);
  char wide[24];
  EXPECT_EQ(std::string(wide, AppendInt(wide, wide + sizeof wide, INT64_MIN, 1)), "-9223372036854775808");
}

TEST(NumberText, CutTextsAndFullRangesBehaveAsSnprintf) {
  for (std::size_t size : {1u, 2u, 5u, 9u, 41u}) {
    for (double v : {-1234.5678, 1e300, std::nan("")}) {
      char ours[64];
      char theirs[64];
      std::memset(ours, 'x', sizeof ours);
      const std::size_t length = FormatFixed(ours, size, v, 4);
      std::snprintf(theirs, size, "%.*f", 4, v);
      EXPECT_STREQ(ours, theirs) << v << " in " << size;
      EXPECT_EQ(length, std::strlen(theirs));
    }
    char ours[16];
    char theirs[16];
    FormatHex(ours, size, 0xABCDEFu, 8);
    std::snprintf(theirs, size, "%.*X", 8, 0xABCDEFu);
    EXPECT_STREQ(ours, theirs);
    FormatInt(ours, size, -123456, 3);
    std::snprintf(theirs, size, "%.*i", 3, -123456);
    EXPECT_STREQ(ours, theirs);
  }
  char none[1] = {'x'};
  EXPECT_EQ(FormatFixed(none, 0, 1.0, 2), 0u);
  EXPECT_EQ(none[0], 'x');
  // More decimals than the scratch buffer holds still come out whole.
  EXPECT_EQ(FixedText(0.1, 3000), Printf("%.*f", 1000, 0.1) + std::string(2000, '0'));
  char room[3];
  EXPECT_EQ(AppendFixed(room, room + sizeof room, 12.5, 1), nullptr);
}

TEST(NumberText, ReadDecimalTakesOnlyCompleteNumbers) {
  double v = -1.0;
  EXPECT_EQ(ReadDecimal("12.5", v), NumberRead::kOk);
  EXPECT_EQ(v, 12.5);
  EXPECT_EQ(ReadDecimal("  -0.25e2\t", v), NumberRead::kOk);
  EXPECT_EQ(v, -25.0);
  EXPECT_EQ(ReadDecimal("+.5", v), NumberRead::kOk);
  EXPECT_EQ(v, 0.5);
  EXPECT_EQ(ReadDecimal("7.", v), NumberRead::kOk);
  EXPECT_EQ(v, 7.0);
  EXPECT_EQ(ReadDecimal("-0", v), NumberRead::kOk);
  EXPECT_TRUE(std::signbit(v));
  EXPECT_EQ(ReadDecimal("1e-400", v), NumberRead::kOk);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(ReadDecimal("0.1", v), NumberRead::kOk);
  EXPECT_EQ(v, 0.1);

  v = 3.0;
  for (const char* bad : {"12,5", "1.2.3", "12.5x", "0x10", "inf", "nan", "-", ".", "e5", "1e", "1e+", "+-1",
                          "1 2", "--1", "12.5;"}) {
    EXPECT_EQ(ReadDecimal(bad, v), NumberRead::kNotANumber) << bad;
  }
  EXPECT_EQ(ReadDecimal("", v), NumberRead::kEmpty);
  EXPECT_EQ(ReadDecimal("  ", v), NumberRead::kEmpty);
  EXPECT_EQ(ReadDecimal("1e400", v), NumberRead::kOutOfRange);
  EXPECT_EQ(ReadDecimal("-1e400", v), NumberRead::kOutOfRange);
  EXPECT_EQ(v, 3.0) << "a refused text leaves the value alone";

  float f = 0.0f;
  EXPECT_EQ(ReadDecimalFloat("87.5", f), NumberRead::kOk);
  EXPECT_EQ(f, 87.5f);
  EXPECT_EQ(ReadDecimalFloat("1e39", f), NumberRead::kOutOfRange);
  // Rounded once to float, not through double.
  EXPECT_EQ(ReadDecimalFloat("1.00000005960464477550", f), NumberRead::kOk);
  EXPECT_EQ(f, std::strtof("1.00000005960464477550", nullptr));
}

TEST(NumberText, ReadLeadingIsStrtodOfTheCLocale) {
  std::size_t used = 0;
  EXPECT_EQ(ReadLeadingDouble(" 12.5abc", &used), 12.5);
  EXPECT_EQ(used, 5u);
  EXPECT_EQ(ReadLeadingDouble("abc", &used), 0.0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(ReadLeadingDouble("0x10"), 16.0);
  EXPECT_EQ(ReadLeadingFloat("2.5,7"), 2.5f);
  EXPECT_EQ(ReadLeadingDouble(std::string(300, '1') + ".5"),
            std::strtod((std::string(300, '1') + ".5").c_str(), nullptr));
}

// The window sets the process locale from the environment; none of this may
// follow it.
TEST(NumberTextLocale, CommaLocaleChangesNothing) {
  REQUIRE_COMMA_LOCALE(locale);
  ASSERT_EQ(Printf("%.1f", 0.5), "0,5") << "the locale is not a comma locale";
  EXPECT_EQ(Fixed(87.5, 6), "87.500000");
  EXPECT_EQ(FixedText(-40.0, 2), "-40.00");
  char text[32];
  FormatCLocale(text, sizeof text, "%.3f: %s", 1.25, "ok");
  EXPECT_STREQ(text, "1.250: ok");
  double v = 0.0;
  EXPECT_EQ(ReadDecimal("12.5", v), NumberRead::kOk);
  EXPECT_EQ(v, 12.5);
  EXPECT_EQ(ReadDecimal("12,5", v), NumberRead::kNotANumber);
  EXPECT_EQ(ReadLeadingDouble("87.5"), 87.5);
  EXPECT_EQ(ReadLeadingFloat("87.5"), 87.5f);
}
