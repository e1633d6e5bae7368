#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/definition/CommaLocale.h"
#include "xml/XmlFormat.h"
#include "xml/XmlText.h"

namespace {

TEST(XmlText, NarrowsByValueAndMarksWhatDoesNotFit) {
  const std::u16string text(u"a\u00E9\u00FF\u0141\u0000b", 6);
  EXPECT_EQ(SaxToNarrow(text.data(), static_cast<int32_t>(text.size())), std::string("a\xE9\xFF?\0b", 6));
  EXPECT_EQ(SaxToNarrow(nullptr, 3), "");

  char out[4];
  EXPECT_EQ(SaxToNarrow(text.data(), static_cast<int32_t>(text.size()), out, sizeof out), 3u);
  EXPECT_STREQ(out, "a\xE9\xFF");
  EXPECT_EQ(SaxToNarrow(text.data(), 1, out, sizeof out), 1u);
  EXPECT_STREQ(out, "a");
  EXPECT_EQ(SaxToNarrow(text.data(), 1, out, 0), 0u);
}

TEST(XmlText, MatchesNamesAndAttributesWithoutRegardToCase) {
  const std::u16string header = u"AdxHeader";
  EXPECT_TRUE(SaxEqualsNoCase(header.data(), 9, "ADXHEADER"));
  EXPECT_FALSE(SaxEqualsNoCase(header.data(), 8, "ADXHEADER"));
  EXPECT_FALSE(SaxEqualsNoCase(header.data(), 9, "ADXHEADEX"));
  // Only ASCII letters fold: 0xC9 and 0xE9 differ.
  const std::u16string accented = u"\u00C9";
  EXPECT_FALSE(SaxEqualsNoCase(accented.data(), 1, "\xE9"));

  const std::u16string names = u"idTitleTITLE";
  const std::u16string values = u"12";
  const SAXAttribute attributes[] = {{names.data(), 2, values.data(), 1},
                                     {names.data() + 2, 5, values.data() + 1, 1},
                                     {names.data() + 7, 5, values.data(), 0}};
  const SAXAttribute* found = SaxFindAttribute(attributes, 3, "title");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, &attributes[1]);
  EXPECT_EQ(SaxFindAttribute(attributes, 3, "ID"), &attributes[0]);
  EXPECT_EQ(SaxFindAttribute(attributes, 3, "idhash"), nullptr);
  EXPECT_EQ(SaxFindAttribute(nullptr, 3, "id"), nullptr);
}

TEST(XmlFormat, NumbersAreWrittenAndReadInTheCLocaleForm) {
  EXPECT_EQ(XmlFormatInt(-2147483648LL), "-2147483648");
  EXPECT_EQ(XmlFormatFloat(0.5), "0.500000");
  EXPECT_EQ(XmlFormatFloat(-40.0), "-40.000000");
  EXPECT_EQ(XmlFormatFloat(1e20), "100000000000000000000.000000");
  EXPECT_EQ(XmlFormatFloat(1.0000005), "1.000001");
  EXPECT_EQ(XmlFormat("0x%.8X %s %.2f", 0xABCDu, "t", 0.5), "0x0000ABCD t 0.50");
  EXPECT_EQ(XmlFormat("%s", std::string(1000, 'x').c_str()).size(), 1000u);

  EXPECT_DOUBLE_EQ(XmlParseDouble("0.50"), 0.5);
  EXPECT_DOUBLE_EQ(XmlParseDouble("  -40.25xyz"), -40.25);
  EXPECT_DOUBLE_EQ(XmlParseDouble("+2"), 2.0);
  EXPECT_DOUBLE_EQ(XmlParseDouble("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(XmlParseDouble(".5"), 0.5);
  EXPECT_DOUBLE_EQ(XmlParseDouble(""), 0.0);
  EXPECT_DOUBLE_EQ(XmlParseDouble("abc"), 0.0);
  EXPECT_DOUBLE_EQ(XmlParseDouble("+-1"), 0.0);
  EXPECT_EQ(XmlParseDouble("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(XmlParseDouble("-1e999"), -std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(XmlParseDouble("1e-999"), 0.0);
  // Written values read back exactly to six decimals.
  for (double v : {-40.0, 0.000001, 123456.789012, 215.5})
    EXPECT_DOUBLE_EQ(XmlParseDouble(XmlFormatFloat(v)), v);
}

}  // namespace

// The window runs with the user's locale; file numbers must not follow it.
TEST(XmlTextLocale, NumbersKeepTheDecimalPointUnderACommaLocale) {
  REQUIRE_COMMA_LOCALE(locale);
  EXPECT_EQ(XmlFormatFloat(87.5), "87.500000");
  EXPECT_EQ(XmlFormat("%.2f", 0.5), "0.50");
  EXPECT_EQ(XmlParseDouble("87.5"), 87.5);
  EXPECT_EQ(XmlParseDouble("-1e400"), -HUGE_VAL);
}
