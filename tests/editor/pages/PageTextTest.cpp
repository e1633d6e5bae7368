// Number fields, baud, byte strings, the equation status line, the trigger
// bits and row moves: the rules every page reads its fields by.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/pages/PageText.h"
#include "editor/pages/RowMoves.h"
#include "tests/definition/CommaLocale.h"

TEST(PageText, HexFieldsTakeEveryDigitAndSkipTheRest) {
  EXPECT_EQ(ReadHexField("0x1A"), 26u);
  EXPECT_EQ(ReadHexField("1A"), 26u);
  EXPECT_EQ(ReadHexField("x1a"), 26u);
  EXPECT_EQ(ReadHexField("12"), 0x12u);
  EXPECT_EQ(ReadHexField("1 g-F"), 0x1Fu);
  EXPECT_EQ(ReadHexField("zz"), 0u);
  EXPECT_EQ(ReadHexField(""), 0u);
  EXPECT_EQ(FormatHexField(26), "0x1A");
  EXPECT_EQ(FormatHexField(5), "0x05");
  EXPECT_EQ(FormatHexField(0x12345), "0x12345");
  EXPECT_EQ(ReadHexField(FormatHexField(0xDEADBEEF)), 0xDEADBEEFu);
}

TEST(PageText, DecimalFieldsReadZeroForTextThatIsNoNumber) {
  EXPECT_FLOAT_EQ(ReadFloatField("12.5"), 12.5f);
  EXPECT_FLOAT_EQ(ReadFloatField("  -3"), -3.0f);
  EXPECT_FLOAT_EQ(ReadFloatField("abc"), 0.0f);
  EXPECT_FLOAT_EQ(ReadFloatField(""), 0.0f);
  // No field can use an infinity or NaN; huge numbers stay finite.
  EXPECT_FLOAT_EQ(ReadFloatField("nan"), 0.0f);
  EXPECT_FLOAT_EQ(ReadFloatField("inf"), 0.0f);
  EXPECT_FLOAT_EQ(ReadFloatField("1e300"), 3.4028235e38f);
  EXPECT_FLOAT_EQ(ReadFloatField("-1e300"), -3.4028235e38f);
  EXPECT_EQ(FormatFloatField(1.5), "1.500000");
  EXPECT_EQ(FormatFloatField(-3.4028235e38).size(), 47u);
}

TEST(PageText, DecimalFieldsTakeOnlyWholeNumbersInEveryLocale) {
  float v = 7.0f;
  EXPECT_TRUE(TryReadFloatField(" 12.5 ", &v));
  EXPECT_EQ(v, 12.5f);
  EXPECT_TRUE(TryReadFloatField("", &v));
  EXPECT_EQ(v, 0.0f);
  EXPECT_TRUE(TryReadFloatField("-1e300", &v));
  EXPECT_EQ(v, -3.4028235e38f);
  v = 7.0f;
  for (const char* bad : {"12,5", "12.5 kPa", "abc", "nan", "inf", "1.2.3", "0x10"}) {
    EXPECT_FALSE(TryReadFloatField(bad, &v)) << bad;
  }
  EXPECT_EQ(v, 7.0f) << "a refused text leaves the number alone";
  EXPECT_EQ(FloatFieldMessage("Range Low", "12,5"),
            "Range Low: \"12,5\" is not a number. Write a decimal number with a point, for example 12.5.");

  REQUIRE_COMMA_LOCALE(locale);
  EXPECT_EQ(FormatFloatField(12.5), "12.500000");
  EXPECT_TRUE(TryReadFloatField("12.5", &v));
  EXPECT_EQ(v, 12.5f);
  EXPECT_FALSE(TryReadFloatField("12,5", &v));
  EXPECT_FLOAT_EQ(ReadFloatField("0.25"), 0.25f);
}

TEST(PageText, UnsignedFieldsSaturateInsteadOfWrapping) {
  EXPECT_EQ(ReadUnsignedField(" 200ms"), 200u);
  EXPECT_EQ(ReadUnsignedField("-5"), 0u);
  EXPECT_EQ(ReadUnsignedField("99999999999"), 0xFFFFFFFFu);
  EXPECT_EQ(ReadUnsignedField31("4294967295"), 0x7FFFFFFF);
  EXPECT_EQ(ReadUnsignedField8("300"), 255);
  EXPECT_EQ(ReadUnsignedField8("7"), 7);
  EXPECT_EQ(ReadInt16Field("40000"), 32767);
  EXPECT_EQ(ReadInt16Field("-40000"), -32768);
  EXPECT_EQ(ReadInt16Field("-12"), -12);
}

TEST(PageText, BaudIsClampedThenRoundedToAMultipleOfEight) {
  EXPECT_EQ(NormalizeBaud(160), 1200);
  EXPECT_EQ(NormalizeBaud(9603), 9600);
  EXPECT_EQ(NormalizeBaud(9604), 9608);
  EXPECT_EQ(NormalizeBaud(8192), 8192);
  EXPECT_EQ(NormalizeBaud(200000), 115200);
  EXPECT_EQ(NormalizeBaud(115199), 115200);
  EXPECT_EQ(NormalizeBaud(-1), 1200);
  EXPECT_EQ(ReadBaudField("9604"), 9608);
  EXPECT_EQ(ReadBaudField("-5"), 1200);
  EXPECT_EQ(ReadBaudField("99999999999999"), 115200);
  EXPECT_EQ(ReadBaudField("fast"), 1200);
}

TEST(PageText, ByteStringsAreSpaceSeparatedHexBytes) {
  EXPECT_EQ(ReadByteString("F0 57 29"), (std::vector<std::uint8_t>{0xF0, 0x57, 0x29}));
  EXPECT_EQ(ReadByteString("  0xf0\t1  "), (std::vector<std::uint8_t>{0xF0, 0x01}));
  // A token of more than two digits keeps its low byte; one without digits is 0.
  EXPECT_EQ(ReadByteString("1F0 zz"), (std::vector<std::uint8_t>{0xF0, 0x00}));
  EXPECT_TRUE(ReadByteString("   ").empty());
  EXPECT_EQ(FormatByteString({0xF0, 0x05, 0x29}), "F0 05 29");
  EXPECT_EQ(FormatByteString({}), "");
}

TEST(PageText, EquationStatusComparesParenthesesInTheFirst99Characters) {
  EXPECT_EQ(EquationStatusText("(X*2"), "Missing )");
  EXPECT_EQ(EquationStatusText("X*2)"), "Missing (");
  EXPECT_EQ(EquationStatusText("(X*2)/(Y+1)"), "Equation Format Appears Valid");
  EXPECT_EQ(EquationStatusText(""), "Equation Format Appears Valid");
  const std::string longText = std::string(99, 'X') + ")";
  EXPECT_EQ(EquationStatusText(longText), "Equation Format Appears Valid");
}

TEST(PageText, TriggerBitsSelectEntriesAndSelectionsOrValues) {
  EXPECT_EQ(TriggerSelectionFor(0xFFFFFFFFu), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(TriggerSelectionFor(0).empty());
  EXPECT_EQ(TriggerSelectionFor(0x2 | 0x10), (std::vector<int>{1, 4}));
  EXPECT_TRUE(TriggerSelectionFor(0x1).empty());
  EXPECT_EQ(TriggerTypeFor({0}), 0xFFFFFFFFu);
  EXPECT_EQ(TriggerTypeFor({1, 3}), 0xAu);
  EXPECT_EQ(TriggerTypeFor({}), 0u);
  EXPECT_EQ(TriggerTypeFor({-1, 9}), 0u);
}

TEST(RowMoves, SelectedRowsMoveTogetherInFrontOfTheTarget) {
  std::vector<char> rows{'a', 'b', 'c', 'd', 'e'};
  EXPECT_EQ(MoveRowsBefore(rows, {3, 1}, 0), (std::vector<int>{0, 1}));
  EXPECT_EQ(rows, (std::vector<char>{'b', 'd', 'a', 'c', 'e'}));
  EXPECT_EQ(MoveRowsBefore(rows, {0}, -1), (std::vector<int>{4}));
  EXPECT_EQ(rows, (std::vector<char>{'d', 'a', 'c', 'e', 'b'}));
  EXPECT_EQ(MoveRowsBefore(rows, {0, 1}, 3), (std::vector<int>{1, 2}));
  EXPECT_EQ(rows, (std::vector<char>{'c', 'd', 'a', 'e', 'b'}));
  // A drop on a selected row, or with nothing selected, does nothing.
  EXPECT_TRUE(MoveRowsBefore(rows, {1, 2}, 2).empty());
  EXPECT_TRUE(MoveRowsBefore(rows, {7}, 0).empty());
  EXPECT_EQ(rows, (std::vector<char>{'c', 'd', 'a', 'e', 'b'}));
}
